#pragma once
// Small text helpers shared by the engine's header work. Header names and the markers the
// engine looks for are ASCII, so only ASCII letters fold.
#include <string_view>

namespace quillane::header_text {

inline std::string_view trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
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

inline std::size_t findIgnoringCase(std::string_view text, std::string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (equalsIgnoringCase(text.substr(at, part.size()), part)) {
            return at;
        }
    }
    return std::string_view::npos;
}

inline bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// CR, LF and the zero byte end or split a header line: no text from a reply that holds one
// may reach a request's header block or request line.
inline bool holdsLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The header name of a line, the text before its first colon, trimmed; empty without a colon.
inline std::string_view headerName(std::string_view line) {
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : trimSpaces(line.substr(0, colon));
}

// Calls visit with every line of a text whose lines are separated by CR LF.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    constexpr std::string_view kLineBreak = "\r\n";
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(kLineBreak, begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        visit(text.substr(begin, end - begin));
        begin = end + kLineBreak.size();
    }
}

}  // namespace quillane::header_text
