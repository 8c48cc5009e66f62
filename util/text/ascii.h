#pragma once
// ASCII case and blanks, for the parts of texts that are ASCII by definition: header names,
// schemes, hosts, markers. Only ASCII letters fold, so GBK or UTF-8 bytes pass unchanged.
#include <string>
#include <string_view>

namespace quillane {

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        c = lowerAscii(c);
    }
    return lowered;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

inline bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

inline std::size_t findIgnoringCase(std::string_view text, std::string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (equalsIgnoringCase(text.substr(at, part.size()), part)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Without the blanks (spaces only) at either end.
inline std::string_view trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Without the blanks, tabs and line breaks at either end: what a paste carries around its text.
inline std::string_view trimWhitespace(std::string_view text) {
    constexpr std::string_view kWhitespace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

}  // namespace quillane
