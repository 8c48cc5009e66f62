#include "http/secure_connection.h"

#include <algorithm>
#include <array>

namespace quillane {
namespace {

// WinINet's numbers (INTERNET_ERROR_BASE 12000 +): the certificate's date (37) or name (38),
// a client certificate asked for (44), an unknown authority (45), certificate errors in
// general (55), a chain whose revocation could not be checked (56, 57; Wine reports a chain it
// cannot complete as 57), a failed handshake (157), an invalid (169) or revoked (170)
// certificate.
constexpr std::array<unsigned long, 10> kUnsafeConnectionErrors = {12037, 12038, 12044, 12045, 12055, 12056,
                                                                   12057, 12157, 12169, 12170};

}  // namespace

bool isUnsafeConnectionError(unsigned long systemError) {
    return std::find(kUnsafeConnectionErrors.begin(), kUnsafeConnectionErrors.end(), systemError) !=
           kUnsafeConnectionErrors.end();
}

}  // namespace quillane
