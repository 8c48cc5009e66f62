#pragma once
// The request side of an exchange as text: the agent, the completed header block, and where
// a redirect leads.
#include <string>
#include <string_view>

namespace quillane {

inline constexpr std::string_view kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; VX7KA; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";

// The agent the session announces: the value of the caller's User-Agent line (name in any
// case), up to its line end or the end of the text, trimmed; the default agent without one.
std::string requestAgent(std::string_view headers);

// Appends the browser-like default lines that the caller's text lacks (exact-case tests):
// Referer (the requested address), Accept, Accept-Language and Content-Type; then a Cookie
// line with cookieText when it is not empty.
void completeRequestHeaders(std::string& headers, std::string_view address, std::string_view cookieText);

// The header text without its Cookie lines (name in any case): what may go to another host.
std::string withoutCookieLines(std::string_view headers);

// The address a redirect's Location names, taken relative to the address that answered:
// absolute, scheme-relative ("//host/..."), host-relative ("/...") or relative to the current
// directory. The fragment is dropped; empty when location is empty.
std::string resolveLocation(std::string_view current, std::string_view location);

// Whether a follow-up from one address to the next may be requested: not when the next is
// empty, holds a line break or zero byte (it would write its own lines into the request), or
// leaves https for plain http (the session would travel in clear; the library refuses that too).
bool mayFollow(std::string_view from, std::string_view to);

// Whether two addresses name the same host (ports aside, as cookies do).
bool sameHost(std::string_view first, std::string_view second);

bool isHttpsAddress(std::string_view address);

}  // namespace quillane
