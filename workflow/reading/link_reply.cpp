#include "workflow/reading/link_reply.h"

#include "util/text/ascii.h"
#include "workflow/reading/item_reference.h"
#include "workflow/reading/reply_json.h"

namespace quillane {
namespace {

// In the order the platform has meant them: its own link first, then the short link of the
// newer reply shape, then the long click link.
constexpr const char* kLinkKeys[] = {"eliteUrl", "shortLinkUrl", "clickUrl"};

// The value as an address: bytes beyond ASCII percent-encoded; nullopt when it holds a blank
// or a control character, which no address has.
std::optional<std::string> addressText(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address;
    address.reserve(utf8.size());
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            return std::nullopt;
        }
        if (byte < 0x80) {
            address += c;
        } else {
            address += '%';
            address += kHex[byte >> 4];
            address += kHex[byte & 0x0F];
        }
    }
    return address;
}

// The value as a link: "//host/..." is taken as https; only http and https with something
// after the scheme count.
std::optional<std::string> asLink(std::string value) {
    if (value.starts_with("//")) {
        value.insert(0, "https:");
    }
    const std::string lowered = lowerAscii(std::string_view(value).substr(0, 8));
    const std::size_t schemeLength = lowered.starts_with("https://") ? 8 : lowered.starts_with("http://") ? 7 : 0;
    if (schemeLength == 0 || value.size() == schemeLength || value[schemeLength] == '/') {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> linkOf(const Json* data) {
    for (const char* key : kLinkKeys) {
        if (auto address = addressText(stringOf(memberOf(data, key)))) {
            if (auto link = asLink(std::move(*address))) {
                return link;
            }
        }
    }
    return std::nullopt;
}

std::string tokenOf(const Json* data, const char* key, CodePointToGbk toGbk) {
    std::string token = readableText(stringOf(memberOf(data, key)), toGbk);
    return isTaoToken(token) ? token : std::string();
}

}  // namespace

const std::string& shareToken(const ShareTokens& tokens) {
    return tokens.coupon.empty() ? tokens.item : tokens.coupon;
}

LinkReading readLinkReply(std::string_view utf8, CodePointToGbk toGbk) {
    LinkReading reading;
    const Json reply = parseReply(utf8);
    reading.successful = envelopeSucceeded(reply);
    if (!reading.successful) {
        return reading;
    }
    const Json* data = memberOf(&reply, "data");
    reading.link = linkOf(data);
    reading.tokens = {tokenOf(data, "taoToken", toGbk), tokenOf(data, "couponLinkTaoToken", toGbk)};
    return reading;
}

}  // namespace quillane
