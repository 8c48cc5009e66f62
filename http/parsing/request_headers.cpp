#include "http/parsing/request_headers.h"

#include "http/parsing/header_text.h"
#include "http/parsing/url.h"

namespace quillane {

using namespace header_text;

namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

bool isHttpsAddress(std::string_view address) {
    return startsWithIgnoringCase(address, "https");
}

std::string requestAgent(std::string_view headers) {
    constexpr std::string_view kName = "User-Agent:";
    const std::size_t at = findIgnoringCase(headers, kName);
    if (at == std::string_view::npos) {
        return std::string(kDefaultUserAgent);
    }
    std::string_view value = headers.substr(at + kName.size());
    value = value.substr(0, value.find(kLineBreak));
    return std::string(trimSpaces(value));
}

void completeRequestHeaders(std::string& headers, std::string_view address, std::string_view cookieText) {
    if (headers.find("Referer:") == std::string::npos) {
        if (!headers.empty()) {
            headers.append(kLineBreak);
        }
        headers.append("Referer: ").append(address);
    }
    if (headers.find("Accept:") == std::string::npos) {
        headers.append("\r\nAccept: */*");
    }
    if (headers.find("Accept-Language:") == std::string::npos) {
        headers.append("\r\nAccept-Language: zh-cn");
    }
    if (headers.find("Content-Type:") == std::string::npos) {
        headers.append("\r\nContent-Type: application/x-www-form-urlencoded");
    }
    if (!cookieText.empty()) {
        headers.append("\r\nCookie: ").append(cookieText);
    }
}

std::string withoutCookieLines(std::string_view headers) {
    std::string kept;
    forEachLine(headers, [&kept](std::string_view line) {
        if (!equalsIgnoringCase(headerName(line), "Cookie")) {
            if (!kept.empty()) {
                kept.append(kLineBreak);
            }
            kept.append(line);
        }
    });
    return kept;
}

std::string resolveLocation(std::string_view current, std::string_view location) {
    location = trimSpaces(location.substr(0, location.find('#')));
    if (location.empty()) {
        return {};
    }
    if (startsWithIgnoringCase(location, "http://") || startsWithIgnoringCase(location, "https://")) {
        return std::string(location);
    }
    const std::size_t schemeEnd = current.find("://");
    const std::string_view scheme = schemeEnd == std::string_view::npos ? std::string_view("http") : current.substr(0, schemeEnd);
    if (location.substr(0, 2) == "//") {
        return std::string(scheme) + ":" + std::string(location);
    }
    const std::size_t hostAt = schemeEnd == std::string_view::npos ? 0 : schemeEnd + 3;
    const std::size_t pathAt = current.find_first_of("/?", hostAt);
    const std::string_view origin = current.substr(0, pathAt);
    std::string result = schemeEnd == std::string_view::npos ? "http://" + std::string(origin) : std::string(origin);
    if (location.front() == '/') {
        return result + std::string(location);
    }
    std::string_view path = pathAt == std::string_view::npos ? std::string_view("/") : current.substr(pathAt);
    path = path.substr(0, path.find('?'));
    const std::size_t lastSlash = path.rfind('/');
    path = lastSlash == std::string_view::npos ? std::string_view("/") : path.substr(0, lastSlash + 1);
    return result.append(path).append(location);
}

bool mayFollow(std::string_view from, std::string_view to) {
    return !to.empty() && !holdsLineBreak(to) && (isHttpsAddress(to) || !isHttpsAddress(from));
}

bool sameHost(std::string_view first, std::string_view second) {
    return urlHost(first) == urlHost(second);
}

}  // namespace quillane
