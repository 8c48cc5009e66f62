#include "http/parsing/reply_headers.h"

#include "http/parsing/header_text.h"
#include "http/parsing/url.h"
#include "util/text/text.h"

namespace quillane {

using namespace header_text;

namespace {

// A mark further into the body belongs to the page's text, not to its declaration.
constexpr std::size_t kUtf8MarkLimit = 499;

}  // namespace

std::string setCookiePair(std::string_view line) {
    if (!equalsIgnoringCase(headerName(line), "Set-Cookie")) {
        return {};
    }
    std::string_view value = line.substr(line.find(':') + 1);
    // A line without attributes carries its pair all the same.
    value = value.substr(0, value.find(';'));
    return std::string(trimSpaces(value));
}

ReplyHeaderFields readReplyHeaders(std::string_view rawHeaders) {
    ReplyHeaderFields fields;
    forEachLine(rawHeaders, [&fields](std::string_view line) {
        if (line.find("Location:") != std::string_view::npos) {
            fields.location = headerValue(line);
        }
        const std::string pair = setCookiePair(line);
        if (!pair.empty() && !holdsLineBreak(pair)) {
            fields.receivedCookies.append(pair).append("; ");
        }
    });
    if (!fields.receivedCookies.empty()) {
        fields.receivedCookies.resize(fields.receivedCookies.size() - 2);
    }
    return fields;
}

bool hasStatusLine(std::string_view rawHeaders) {
    constexpr std::string_view kShape = "HTTP/9.9 999";
    if (rawHeaders.size() < kShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const char c = rawHeaders[i];
        if (kShape[i] == '9' ? !(c >= '0' && c <= '9') : c != kShape[i]) {
            return false;
        }
    }
    return rawHeaders.size() == kShape.size() || rawHeaders[kShape.size()] == ' ' || rawHeaders[kShape.size()] == '\r';
}

std::string redirectLocation(std::string_view rawHeaders) {
    if (!hasStatusLine(rawHeaders)) {
        return {};
    }
    const std::string_view status = rawHeaders.substr(std::string_view("HTTP/9.9 ").size(), 3);
    if (status != "301" && status != "302" && status != "303" && status != "307" && status != "308") {
        return {};
    }
    std::string location;
    forEachLine(rawHeaders, [&location](std::string_view line) {
        if (location.empty() && equalsIgnoringCase(headerName(line), "Location")) {
            location = headerValue(line);
        }
    });
    return location;
}

bool isMovedPermanently(std::string_view rawHeaders) {
    return textBetween(rawHeaders, "HTTP/1.1 ", " Moved") == "301";
}

bool replyIsUtf8(std::string_view body, std::string_view rawHeaders) {
    const std::size_t mark = body.find("utf-8");
    if (mark != std::string_view::npos && mark < kUtf8MarkLimit) {
        return true;
    }
    return findIgnoringCase(rawHeaders, "utf-8") != std::string_view::npos;
}

}  // namespace quillane
