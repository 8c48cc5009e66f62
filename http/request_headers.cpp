#include "http/request_headers.h"

#include "http/url.h"

namespace quillane {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < part.size() && same; ++i) {
            same = lowerAscii(text[at + i]) == lowerAscii(part[i]);
        }
        if (same) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && findIgnoringCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool isCookieLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view name = trimSpaces(line.substr(0, colon));
    return name.size() == 6 && startsWithIgnoringCase(name, "Cookie");
}

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
    std::size_t begin = 0;
    while (begin <= headers.size()) {
        std::size_t end = headers.find(kLineBreak, begin);
        if (end == std::string_view::npos) {
            end = headers.size();
        }
        const std::string_view line = headers.substr(begin, end - begin);
        if (!isCookieLine(line)) {
            if (!kept.empty()) {
                kept.append(kLineBreak);
            }
            kept.append(line);
        }
        begin = end + kLineBreak.size();
    }
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

bool sameHost(std::string_view first, std::string_view second) {
    return urlHost(first) == urlHost(second);
}

}  // namespace quillane
