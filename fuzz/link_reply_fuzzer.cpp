// Reading the link and the login's end out of any reply.
// - A link read is an http or https address with a host part, with no blank or control
//   character in it.
// - A printable ASCII value, escaped as JSON and put into eliteUrl after "http://x/", comes
//   back as itself, whatever follows it in the reply.
// Input: reply 0x1F value 0x1F rest of the reply
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "workflow/reading/link_reply.h"
#include "workflow/reading/login_expiry.h"

namespace quillane::fuzz {
namespace {

void checkLink(std::string_view reply) {
    const auto link = linkOfReply(reply);
    isLoginExpiredReply(reply);
    if (!link) {
        return;
    }
    const std::string lowered = lowerAscii(std::string_view(*link).substr(0, 8));
    require(lowered.starts_with("http://") || lowered.starts_with("https://"), "a link is http or https");
    for (char c : *link) {
        require(static_cast<unsigned char>(c) > 0x20, "a link holds no blank or control character");
    }
}

bool printableAscii(std::string_view text) {
    for (char c : text) {
        if (c <= 0x20 || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

void checkRoundTrip(std::string_view value, std::string_view rest) {
    if (!printableAscii(value)) {
        return;
    }
    std::string escaped;
    for (char c : value) {
        if (c == '"' || c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    const std::string reply = "{\"data\":{\"eliteUrl\":\"http://x/" + escaped + "\"" + std::string(rest);
    require(linkOfReply(reply) == "http://x/" + std::string(value), "an escaped value comes back as itself");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view input = quillane::fuzz::asText(data, size);
    checkLink(input);
    const auto fields = splitFields(input, 3);
    checkLink(std::string(fields[0]) + "\"eliteUrl\":\"" + std::string(fields[1]) + std::string(fields[2]));
    checkRoundTrip(fields[1], fields[2]);
    return 0;
}
