#pragma once
// One blocking HTTP exchange over WinINet, with browser-like default headers, a caller-held
// cookie text kept merged with every reply's cookies, and UTF-8 replies converted to GBK.
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

struct HttpRequestOptions {
    std::string url;
    int method = 0;                          // 0 GET, 1 POST
    std::string postText;
    std::optional<std::string> cookies;      // absent and present-but-empty differ
    std::string receivedCookies;             // out
    std::string headers;                     // in/out
    std::string location;                    // out
    bool noRedirect = false;
    std::string postBytes;                   // in/out, may hold zero bytes
    // Presence selects this proxy ("host:port"); without it the proxy of Windows' Internet
    // Options is used, as the member's browser does.
    std::optional<std::string> proxy;
    std::string rawHeaders;                  // out
    // True: the first reply is the result, whatever it says: neither a redirect nor a "301
    // Moved" is followed, so that the caller sees and judges every hop itself.
    bool singleRequest = false;
    // True: the body comes back byte for byte as it arrived, never converted to GBK, for a
    // reader that parses it as the UTF-8 it is (the platform's JSON replies).
    bool bodyAsSent = false;
    // Out: why the last exchange failed, so that a caller can tell an untrusted certificate
    // from a silent server: the system's error number (0 when none), and the status of the
    // last reply (0 when none came).
    unsigned long systemError = 0;
    int status = 0;
};

std::string httpRequest(HttpRequestOptions& request);       // body as text (ends at the first zero byte)
std::string httpRequestBytes(HttpRequestOptions& request);  // body as bytes
std::string fetchPage(std::string_view address);

}  // namespace quillane
