#include "sim/platform_sim/http_wire.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "util/text/ascii.h"

namespace platform_sim {
namespace {

constexpr size_t kMaxHeaderBytes = 64 * 1024;
constexpr size_t kMaxBodyBytes = 1024 * 1024;

using quillane::equalsIgnoringCase;
using quillane::lowerAscii;

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool parseRequestLine(std::string_view line, Request& request) {
    const size_t first = line.find(' ');
    const size_t last = line.rfind(' ');
    if (first == std::string_view::npos || last == first) {
        return false;
    }
    request.requestLine = std::string(line);
    request.method = std::string(line.substr(0, first));
    request.target = std::string(line.substr(first + 1, last - first - 1));
    request.version = std::string(line.substr(last + 1));
    const size_t question = request.target.find('?');
    request.path = request.target.substr(0, question);
    request.query = question == std::string::npos ? std::string() : request.target.substr(question + 1);
    return !request.method.empty() && !request.target.empty() && request.version.starts_with("HTTP/");
}

}  // namespace

std::optional<std::string> Request::header(std::string_view name) const {
    for (const HeaderLine& line : headers) {
        if (equalsIgnoringCase(line.name, name)) {
            return line.value;
        }
    }
    return std::nullopt;
}

std::string Request::cookieHeader() const {
    std::string joined;
    for (const HeaderLine& line : headers) {
        if (equalsIgnoringCase(line.name, "Cookie")) {
            if (!joined.empty()) {
                joined += "; ";
            }
            joined += line.value;
        }
    }
    return joined;
}

bool Request::wantsClose() const {
    const std::string connection = header("Connection").value_or("");
    if (version == "HTTP/1.0") {
        return !equalsIgnoringCase(connection, "keep-alive");
    }
    return equalsIgnoringCase(connection, "close");
}

ParseState parseRequest(std::string_view buffer, Request& request, size_t& consumed) {
    const size_t headerEnd = buffer.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos) {
        return buffer.size() > kMaxHeaderBytes ? ParseState::Invalid : ParseState::Incomplete;
    }
    request = Request{};
    const std::string_view head = buffer.substr(0, headerEnd);
    const size_t lineEnd = head.find("\r\n");
    if (!parseRequestLine(head.substr(0, lineEnd), request)) {
        return ParseState::Invalid;
    }
    size_t position = lineEnd == std::string_view::npos ? head.size() : lineEnd + 2;
    while (position < head.size()) {
        size_t next = head.find("\r\n", position);
        if (next == std::string_view::npos) {
            next = head.size();
        }
        const std::string_view line = head.substr(position, next - position);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            return ParseState::Invalid;
        }
        request.headers.push_back(
            {std::string(line), std::string(line.substr(0, colon)), std::string(trimBlanks(line.substr(colon + 1)))});
        position = next + 2;
    }
    if (request.header("Transfer-Encoding")) {
        return ParseState::Invalid;  // no client of the platform sends chunked bodies
    }
    size_t bodyLength = 0;
    if (const auto length = request.header("Content-Length")) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(length->c_str(), &end, 10);
        if (length->empty() || *end != '\0' || value > kMaxBodyBytes) {
            return ParseState::Invalid;
        }
        bodyLength = static_cast<size_t>(value);
    }
    const size_t bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < bodyLength) {
        return ParseState::Incomplete;
    }
    request.body = std::string(buffer.substr(bodyStart, bodyLength));
    consumed = bodyStart + bodyLength;
    return ParseState::Complete;
}

std::vector<std::pair<std::string, std::string>> queryPairs(std::string_view query) {
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t position = 0;
    while (position < query.size()) {
        size_t end = query.find('&', position);
        if (end == std::string_view::npos) {
            end = query.size();
        }
        const std::string_view pair = query.substr(position, end - position);
        if (!pair.empty()) {
            const size_t equals = pair.find('=');
            pairs.emplace_back(percentDecode(pair.substr(0, equals)), equals == std::string_view::npos
                                                                          ? std::string()
                                                                          : percentDecode(pair.substr(equals + 1)));
        }
        position = end + 1;
    }
    return pairs;
}

std::optional<std::string> cookieValue(std::string_view cookieHeader, std::string_view name) {
    size_t position = 0;
    while (position < cookieHeader.size()) {
        size_t end = cookieHeader.find(';', position);
        if (end == std::string_view::npos) {
            end = cookieHeader.size();
        }
        const std::string_view entry = trimBlanks(cookieHeader.substr(position, end - position));
        const size_t equals = entry.find('=');
        if (equals != std::string_view::npos && trimBlanks(entry.substr(0, equals)) == name) {
            return std::string(trimBlanks(entry.substr(equals + 1)));
        }
        position = end + 1;
    }
    return std::nullopt;
}

Reply htmlReply(int status, std::string body) {
    Reply reply;
    reply.status = status;
    reply.contentType = "text/html;charset=utf-8";
    reply.body = std::move(body);
    return reply;
}

std::string reasonPhrase(int status) {
    switch (status) {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 400: return "Bad Request";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        case 502: return "Bad Gateway";
        case 503: return "Service Unavailable";
        default: return "Status";
    }
}

std::string httpDate(long long secondsFromNow) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(secondsFromNow * 10000000LL);
    FILETIME shifted{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME time;
    FileTimeToSystemTime(&shifted, &time);
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02u %s %04u %02u:%02u:%02u GMT", kDays[time.wDayOfWeek % 7], time.wDay,
                  kMonths[(time.wMonth + 11) % 12], time.wYear, time.wHour, time.wMinute, time.wSecond);
    return text;
}

std::string formatReply(const Reply& reply, bool keepAlive) {
    std::string text =
        reply.statusLine.value_or("HTTP/1.1 " + std::to_string(reply.status) + " " + reasonPhrase(reply.status)) + "\r\n";
    text += "Server: Tengine\r\n";
    text += "Date: " + httpDate() + "\r\n";
    text += "Content-Type: " + reply.contentType + "\r\n";
    text += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    text += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    // Every answer depends on the simulator's current modes: nothing may come from a cache.
    text += "Cache-Control: no-cache, no-store\r\n";
    for (const std::string& line : reply.extraHeaders) {
        text += line + "\r\n";
    }
    text += "\r\n";
    text += reply.body;
    return text;
}

}  // namespace platform_sim
