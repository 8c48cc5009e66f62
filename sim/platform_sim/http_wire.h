#pragma once
// The simulator's view of HTTP/1.1 on the wire: requests are parsed from the exact bytes that
// arrived (nothing is normalised, so the log can show them as sent), replies are formatted
// as complete byte strings.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/platform_sim/wire_text.h"

namespace platform_sim {

struct HeaderLine {
    std::string line;  // exact bytes as sent
    std::string name;
    std::string value;  // blanks around it trimmed
};

struct Request {
    std::string requestLine;  // exact bytes before the first CR LF
    std::string method;
    std::string target;  // between the first and the last blank of the request line
    std::string version;
    std::string path;   // target up to "?"
    std::string query;  // after "?", raw (may end in a blank)
    std::vector<HeaderLine> headers;
    std::string body;

    // The value of the first header of that name (letters compared without regard to case).
    std::optional<std::string> header(std::string_view name) const;
    // Every Cookie header value, joined by "; " (WinINet may send a second Cookie line).
    std::string cookieHeader() const;
    bool wantsClose() const;
};

enum class ParseState { Incomplete, Complete, Invalid };

// Looks for one whole request at the start of buffer. On Complete, consumed tells how many
// bytes it used, so the rest stays for the next request on a kept-alive connection.
ParseState parseRequest(std::string_view buffer, Request& request, size_t& consumed);

// Every key=value pair of a query in order, values percent-decoded.
std::vector<std::pair<std::string, std::string>> queryPairs(std::string_view query);

// The value of one cookie in a Cookie header text ("a=1; b=2"), exact name match.
std::optional<std::string> cookieValue(std::string_view cookieHeader, std::string_view name);

struct Reply {
    int status = 200;
    std::optional<std::string> statusLine;  // sent instead of the one status makes, CR LF added
    std::string contentType = "application/json;charset=UTF-8";
    std::vector<std::string> extraHeaders;  // whole lines without CR LF, e.g. "Set-Cookie: a=1"
    std::string body;
};

// An HTML reply in UTF-8.
Reply htmlReply(int status, std::string body);

// UTF-8 literals (u8"...") as the bytes that replies are made of.
inline std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::string reasonPhrase(int status);
// An HTTP date ("Wed, 21 Oct 2026 07:28:00 GMT") secondsFromNow from the current time.
std::string httpDate(long long secondsFromNow = 0);
// Status line, Server, Date, Content-Type, Content-Length, Connection, extra headers, body.
std::string formatReply(const Reply& reply, bool keepAlive);

}  // namespace platform_sim
