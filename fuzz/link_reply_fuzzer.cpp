// Reading the link and the 淘口令 out of any reply.
// - A link read is an http or https address with a host part, with no blank or control
//   character in it, and only from a reply whose envelope said yes.
// - A printable ASCII value, escaped as JSON and put into eliteUrl after "http://x/", comes
//   back as itself, whatever keys follow it in "data".
// - Each 淘口令 read is one token and nothing else; a share text exists exactly when a token
//   does, carries it, and ends its last line with CR LF.
// Input: reply 0x1F value 0x1F more keys of "data"
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "workflow/reading/item_reference.h"
#include "workflow/reading/link_reply.h"
#include "workflow/reading/share_text.h"

namespace quillane::fuzz {
namespace {

// Two bytes of a GBK character for every character beyond ASCII.
std::string standInGbk(char32_t codePoint) {
    return codePoint == 0xFFE5 ? "\xA3\xA4" : "\xB0\xA1";
}

void checkReading(std::string_view reply) {
    const LinkReading reading = readLinkReply(reply, standInGbk);
    require(reading.successful || (!reading.link && reading.tokens == ShareTokens{}), "nothing read from a failure");
    if (reading.link) {
        const std::string lowered = lowerAscii(std::string_view(*reading.link).substr(0, 8));
        require(lowered.starts_with("http://") || lowered.starts_with("https://"), "a link is http or https");
        for (char c : *reading.link) {
            require(static_cast<unsigned char>(c) > 0x20, "a link holds no blank or control character");
        }
    }
    for (const std::string* token : {&reading.tokens.item, &reading.tokens.coupon}) {
        require(token->empty() || isTaoToken(*token), "a token read is one token and nothing else");
    }
    const std::string text = shareText(offerOfItsForm({"t", "1", "", "", ""}), reading.tokens);
    const std::string& token = shareToken(reading.tokens);
    require(text.empty() == token.empty(), "a share text exactly when there is a token");
    require(text.empty() || (text.ends_with("\r\n") && text.find(token) != std::string::npos),
            "the share text carries the token and ends its line");
}

std::string envelope(const std::string& data) {
    return "{\"data\":{" + data + "},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}";
}

void checkRoundTrip(std::string_view value, std::string_view moreKeys) {
    if (!std::all_of(value.begin(), value.end(), [](char c) { return c > 0x20 && c < 0x7F; })) {
        return;
    }
    const LinkReading reading = readLinkReply(
        envelope("\"eliteUrl\":\"http://x/" + jsonEscaped(value) + "\"" + std::string(moreKeys)), standInGbk);
    // Keys after it that break the document leave no link at all, never another one.
    require(!reading.successful || reading.link == "http://x/" + std::string(value),
            "an escaped value comes back as itself");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view input = quillane::fuzz::asText(data, size);
    checkReading(input);
    const auto fields = splitFields(input, 3);
    checkReading(envelope(std::string(fields[0])));
    checkReading(envelope("\"eliteUrl\":\"" + std::string(fields[1]) + std::string(fields[2])));
    checkRoundTrip(fields[1], fields[2]);
    return 0;
}
