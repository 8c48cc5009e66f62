#pragma once
// Small text helpers shared by the engine's header work, on top of the ASCII helpers.
#include <string_view>

#include "util/text/ascii.h"

namespace quillane::header_text {

using quillane::equalsIgnoringCase;
using quillane::findIgnoringCase;
using quillane::lowerAscii;
using quillane::startsWithIgnoringCase;
using quillane::trimSpaces;

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
