#pragma once
// Small text helpers that both ends share: the simulator, which writes its request log and
// reads query strings, and the test client, which reads the log back and looks into the
// recorded request lines. Header-only, so that the test support library needs no part of the
// simulator's program.
#include <optional>
#include <string>
#include <string_view>

namespace platform_sim {

inline int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Percent-decodes %XX; "+" stays "+" (control values such as notices hold plus signs).
inline std::string percentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// Percent-encodes every byte but ASCII letters, digits, "-_.~" and those in alsoPlain.
inline std::string percentEncode(std::string_view text, std::string_view alsoPlain = {}) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           c == '-' || c == '_' || c == '.' || c == '~' || alsoPlain.find(c) != std::string_view::npos;
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

// The raw value of the first key=value pair of a query with that exact key.
inline std::optional<std::string> queryValue(std::string_view query, std::string_view key) {
    size_t position = 0;
    while (position <= query.size()) {
        size_t end = query.find('&', position);
        if (end == std::string_view::npos) {
            end = query.size();
        }
        const std::string_view pair = query.substr(position, end - position);
        const size_t equals = pair.find('=');
        if (pair.substr(0, equals) == key) {
            return equals == std::string_view::npos ? std::string() : std::string(pair.substr(equals + 1));
        }
        position = end + 1;
    }
    return std::nullopt;
}

// A log value: byte for byte, except that "%", control bytes, bytes above 0x7E and a blank at
// the end appear as %XX, so that a trailing blank survives. percentDecode reverses it.
inline std::string escapeLogValue(std::string_view value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(value[i]);
        const bool trailingBlank = byte == ' ' && i + 1 == value.size();
        if (byte < 0x20 || byte > 0x7E || byte == '%' || trailingBlank) {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        } else {
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}

}  // namespace platform_sim
