#include "workflow/reading/link_reply.h"

#include <cstdint>

#include "util/text/ascii.h"
#include "workflow/reading/item_reference.h"

namespace quillane {
namespace {

// In the order the platform has meant them: its own link first, then the short link of the
// newer reply shape, then the long click link. Each is matched with the quote before its
// name, so that "couponShortLinkUrl" is never read as "shortLinkUrl".
constexpr std::string_view kLinkKeys[] = {"\"eliteUrl\":\"", "\"shortLinkUrl\":\"", "\"clickUrl\":\""};

bool isGbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool isGbkTrail(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The four hex digits of a \u escape at text[at], or -1.
long hexQuad(std::string_view text, std::size_t at) {
    if (at + 4 > text.size()) {
        return -1;
    }
    long value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

// A character beyond ASCII in an address travels as its UTF-8 bytes, percent-encoded.
void appendPercentUtf8(std::string& out, std::uint32_t codePoint) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    unsigned char bytes[4];
    int count = 0;
    if (codePoint < 0x800) {
        bytes[count++] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
    } else if (codePoint < 0x10000) {
        bytes[count++] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
    } else {
        bytes[count++] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
    }
    bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    for (int i = 0; i < count; ++i) {
        out += '%';
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0x0F];
    }
}

// The JSON string that starts at text[0] (just after its opening quote), escapes undone, up
// to its closing quote; nullopt when it is unterminated, holds a broken escape, or holds a
// character that no address has (a control character or a blank). The text is GBK: a lead
// byte takes the next byte with it, which may be a backslash or a quote of no meaning.
std::optional<std::string> addressString(std::string_view text) {
    std::string value;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            return value;
        }
        if (isGbkLead(byte)) {
            if (at + 1 >= text.size() || !isGbkTrail(static_cast<unsigned char>(text[at + 1]))) {
                return std::nullopt;  // not GBK text: no address
            }
            value.append(text.substr(at, 2));
            at += 2;
            continue;
        }
        if (byte <= 0x20) {
            return std::nullopt;
        }
        if (c != '\\') {
            value += c;
            ++at;
            continue;
        }
        if (at + 1 >= text.size()) {
            return std::nullopt;
        }
        const char escaped = text[at + 1];
        if (escaped == '"' || escaped == '\\' || escaped == '/') {
            value += escaped;
            at += 2;
            continue;
        }
        if (escaped != 'u') {
            return std::nullopt;  // \b \f \n \r \t stand for control characters; others are broken
        }
        long unit = hexQuad(text, at + 2);
        at += 6;
        if (unit < 0) {
            return std::nullopt;
        }
        std::uint32_t codePoint = static_cast<std::uint32_t>(unit);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            // A high surrogate is only half a character: its low half must follow.
            const long low = at + 1 < text.size() && text[at] == '\\' && text[at + 1] == 'u' ? hexQuad(text, at + 2) : -1;
            if (low < 0xDC00 || low > 0xDFFF) {
                return std::nullopt;
            }
            codePoint = 0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) +
                        (static_cast<std::uint32_t>(low) - 0xDC00);
            at += 6;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return std::nullopt;
        }
        if (codePoint <= 0x20 || codePoint == 0x7F) {
            return std::nullopt;
        }
        if (codePoint < 0x80) {
            value += static_cast<char>(codePoint);
        } else {
            appendPercentUtf8(value, codePoint);
        }
    }
    return std::nullopt;
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

std::string tokenOf(std::string_view reply, std::string_view key, CodePointToGbk toGbk) {
    std::string token = readableValueOf(reply, key, toGbk);
    return isTaoToken(token) ? token : std::string();
}

}  // namespace

ShareTokens shareTokensOfReply(std::string_view reply, CodePointToGbk toGbk) {
    return {tokenOf(reply, "taoToken", toGbk), tokenOf(reply, "couponLinkTaoToken", toGbk)};
}

const std::string& shareToken(const ShareTokens& tokens) {
    return tokens.coupon.empty() ? tokens.item : tokens.coupon;
}

std::optional<std::string> linkOfReply(std::string_view reply) {
    for (const std::string_view key : kLinkKeys) {
        const std::size_t at = reply.find(key);
        if (at == std::string_view::npos) {
            continue;
        }
        if (auto value = addressString(reply.substr(at + key.size()))) {
            if (auto link = asLink(std::move(*value))) {
                return link;
            }
        }
    }
    return std::nullopt;
}

}  // namespace quillane
