#pragma once
// Reading a reply's raw header block (status line and header lines separated by CR LF) and
// its body as the request engine needs them.
#include <string>
#include <string_view>

namespace quillane {

struct ReplyHeaderFields {
    // The value of the last line that holds "Location:" anywhere (exact case), so a
    // Content-Location line counts as well; empty when no line does.
    std::string location;
    // The name=value pair of every Set-Cookie line, in order, joined by "; ". A pair that
    // would carry a line break or a zero byte into a later Cookie header is left out.
    std::string receivedCookies;
};

ReplyHeaderFields readReplyHeaders(std::string_view rawHeaders);

// The pair a Set-Cookie header line carries: the text after its colon up to the first ";"
// (or the end of the line), trimmed of spaces. Empty when the line's header name is not
// Set-Cookie (in any letter case).
std::string setCookiePair(std::string_view line);

// The block begins with a status line: "HTTP/", one digit, ".", one digit, a blank and a
// three-digit code, then a blank or the end of the line.
bool hasStatusLine(std::string_view rawHeaders);

// Where a redirect reply sends its client: the value of the Location header (name in any
// case, the whole name, so not Content-Location) when the status line says 301, 302, 303, 307
// or 308; empty for any other reply.
std::string redirectLocation(std::string_view rawHeaders);

// A reply that the engine follows itself by appending the current path to its Location: a
// status line "HTTP/1.1 301 Moved..." (letters in any case).
bool isMovedPermanently(std::string_view rawHeaders);

// The body is UTF-8 when the exact mark "utf-8" first occurs within its first 499 bytes
// (a meta tag near the top of a page), or when the headers name it in any letter case.
bool replyIsUtf8(std::string_view body, std::string_view rawHeaders);

}  // namespace quillane
