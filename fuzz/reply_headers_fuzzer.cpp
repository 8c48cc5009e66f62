// readReplyHeaders, the cookie-pair collection from a raw header block, and what the engine
// does with its result. Any block: the collected pairs are clean (no separator, no line
// break, no zero byte, trimmed, not empty), one per Set-Cookie line at most, and merging them
// into a session's cookie text never puts a line break into the next Cookie header. A block
// built from chosen pairs: exactly those pairs come back, in order.
// Input: one byte choosing the line name spellings, then pairs separated by 0x1F; the whole
// text after the first byte is also read as a raw block as it stands.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "http/parsing/reply_headers.h"
#include "util/text/cookies.h"

namespace quillane::fuzz {
namespace {

constexpr std::string_view kLineBreakBytes("\r\n\0", 3);

std::vector<std::string_view> entriesOf(std::string_view cookieText) {
    std::vector<std::string_view> entries;
    if (cookieText.empty()) {
        return entries;
    }
    std::size_t begin = 0;
    for (std::size_t at = cookieText.find("; "); at != std::string_view::npos; at = cookieText.find("; ", begin)) {
        entries.push_back(cookieText.substr(begin, at - begin));
        begin = at + 2;
    }
    entries.push_back(cookieText.substr(begin));
    return entries;
}

std::size_t setCookieLines(std::string_view block) {
    std::size_t count = 0;
    std::size_t begin = 0;
    while (begin <= block.size()) {
        std::size_t end = block.find("\r\n", begin);
        if (end == std::string_view::npos) {
            end = block.size();
        }
        const std::string_view line = block.substr(begin, end - begin);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && lowerAscii(line.substr(0, colon)).find("set-cookie") != std::string::npos) {
            ++count;
        }
        begin = end + 2;
    }
    return count;
}

void checkAnyBlock(std::string_view block) {
    const ReplyHeaderFields fields = readReplyHeaders(block);
    const std::vector<std::string_view> pairs = entriesOf(fields.receivedCookies);
    require(pairs.size() <= setCookieLines(block), "at most one pair per Set-Cookie line");
    for (std::string_view pair : pairs) {
        require(!pair.empty(), "no empty pair");
        require(pair.find(';') == std::string_view::npos, "a pair holds no separator");
        require(pair.find_first_of(kLineBreakBytes) == std::string_view::npos, "a pair holds no line break or zero");
        require(pair.front() != ' ' && pair.back() != ' ', "a pair is trimmed");
    }
    require(fields.location.find("\r\n") == std::string::npos, "the location is one line");

    // What the engine does next: the session's cookie text takes the pairs in.
    std::string session = "cookie2=abc; _tb_token_=e5a3";
    std::string incoming = fields.receivedCookies;
    mergeCookies(session, incoming);
    require(session.find_first_of(kLineBreakBytes) == std::string::npos,
            "the merged session cookies hold no line break or zero");

    isMovedPermanently(block);
    replyIsUtf8(block, block);
}

// Fields that make a clean pair (not empty; no separator, blank, line break or zero byte)
// are sent on Set-Cookie lines spelled in different cases, between other header lines.
void checkBuiltBlock(std::uint8_t spelling, const std::vector<std::string_view>& fields) {
    constexpr std::string_view names[] = {"Set-Cookie", "set-cookie", "SET-COOKIE", "Set-Cookie "};
    std::string block = "HTTP/1.1 200 OK\r\nContent-Type: text/html";
    std::string expected;
    std::size_t line = 0;
    for (std::string_view pair : fields) {
        if (pair.empty() || pair.find_first_of(std::string_view(";\r\n\0 ", 5)) != std::string_view::npos) {
            continue;
        }
        block.append("\r\n").append(names[(spelling >> (line++ % 4 * 2)) & 3]).append(": ").append(pair);
        block.append("; Path=/; HttpOnly");
        expected.append(expected.empty() ? "" : "; ").append(pair);
    }
    block.append("\r\nX-After: 1");
    require(readReplyHeaders(block).receivedCookies == expected, "built block: the pairs come back in order");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    if (size < 1 || size > 64 * 1024) {
        return 0;
    }
    const std::string_view text = asText(data + 1, size - 1);
    checkAnyBlock(text);
    std::vector<std::string_view> fields;
    std::size_t begin = 0;
    for (std::size_t at = text.find('\x1F'); at != std::string_view::npos && fields.size() < 100;
         at = text.find('\x1F', begin)) {
        fields.push_back(text.substr(begin, at - begin));
        begin = at + 1;
    }
    fields.push_back(text.substr(begin));
    checkBuiltBlock(data[0], fields);
    return 0;
}
