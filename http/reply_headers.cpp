#include "http/reply_headers.h"

#include "http/url.h"
#include "util/text.h"

namespace quillane {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
// A mark further into the body belongs to the page's text, not to its declaration.
constexpr std::size_t kUtf8MarkLimit = 499;

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        x = (x >= 'A' && x <= 'Z') ? static_cast<char>(x - 'A' + 'a') : x;
        y = (y >= 'A' && y <= 'Z') ? static_cast<char>(y - 'A' + 'a') : y;
        if (x != y) {
            return false;
        }
    }
    return true;
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (equalsIgnoringCase(text.substr(at, part.size()), part)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool holdsLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string setCookiePair(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !equalsIgnoringCase(trimSpaces(line.substr(0, colon)), "Set-Cookie")) {
        return {};
    }
    std::string_view value = line.substr(colon + 1);
    // A line without attributes carries its pair all the same.
    value = value.substr(0, value.find(';'));
    return std::string(trimSpaces(value));
}

ReplyHeaderFields readReplyHeaders(std::string_view rawHeaders) {
    ReplyHeaderFields fields;
    std::size_t begin = 0;
    while (begin <= rawHeaders.size()) {
        std::size_t end = rawHeaders.find(kLineBreak, begin);
        if (end == std::string_view::npos) {
            end = rawHeaders.size();
        }
        const std::string_view line = rawHeaders.substr(begin, end - begin);
        if (line.find("Location:") != std::string_view::npos) {
            fields.location = headerValue(line);
        }
        const std::string pair = setCookiePair(line);
        if (!pair.empty() && !holdsLineBreak(pair)) {
            fields.receivedCookies.append(pair).append("; ");
        }
        begin = end + kLineBreak.size();
    }
    if (!fields.receivedCookies.empty()) {
        fields.receivedCookies.resize(fields.receivedCookies.size() - 2);
    }
    return fields;
}

bool isMovedPermanently(std::string_view rawHeaders) {
    return textBetween(rawHeaders, "HTTP/1.1 ", " Moved") == "301";
}

bool replyIsUtf8(std::string_view body, std::string_view rawHeaders) {
    const std::size_t mark = body.find("utf-8");
    if (mark != std::string_view::npos && mark < kUtf8MarkLimit) {
        return true;
    }
    return containsIgnoringCase(rawHeaders, "utf-8");
}

}  // namespace quillane
