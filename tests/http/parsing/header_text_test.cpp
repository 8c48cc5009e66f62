// The request engine's text work on headers, without a connection.
#include <gtest/gtest.h>

#include <string>

#include "http/parsing/reply_headers.h"
#include "http/parsing/request_headers.h"

namespace quillane {
namespace {

using namespace std::string_literals;

const std::string kDefaults = "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";

TEST(ReplyHeaders, CollectsSetCookiePairsAndLocation) {
    struct Case {
        std::string raw;
        std::string cookies;
        std::string location;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; HttpOnly\r\n\r\n", "a=1; b=2", ""},
        {"HTTP/1.1 200 OK\r\nSet-Cookie: c=3\r\nset-cookie:d=4;x\r\nSET-COOKIE :  e = 5 ; y", "c=3; d=4; e = 5", ""},
        // Not Set-Cookie lines, and lines that carry no pair.
        {"X-Set-Cookie-Note: f=6; y\r\nSet-Cookie: ; path=/\r\nSet-Cookie:\r\nSet-Cookie2: g=7", "", ""},
        // A pair holding a line break or a zero byte would split a later Cookie header.
        {"Set-Cookie: a=1\rX-Injected: 1; p\r\nSet-Cookie: b=2\nX: 1\r\nSet-Cookie: c=\0\r\nSet-Cookie: ok=1"s, "ok=1", ""},
        {"HTTP/1.1 301 Moved\r\nLocation: http://h2/x\r\n", "", "http://h2/x"},
        {"HTTP/1.1 200 OK\r\nLocation: /first\r\nContent-Location:  /c.html \r\n", "", "/c.html"},
        {"HTTP/1.1 302 Found\r\nlocation: /lower\r\n", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const ReplyHeaderFields fields = readReplyHeaders(c.raw);
        EXPECT_EQ(fields.receivedCookies, c.cookies) << c.raw;
        EXPECT_EQ(fields.location, c.location) << c.raw;
    }
}

TEST(ReplyHeaders, OnlyABlockThatBeginsWithAStatusLineIsAReply) {
    const std::pair<const char*, bool> cases[] = {
        {"HTTP/1.1 200 OK\r\nServer: x", true},
        {"HTTP/1.0 404 Not Found", true},
        {"HTTP/1.1 204\r\n", true},
        {"HTTP/1.1 200", true},
        {"HTTP/1.1 2OO OK\r\n", false},     // letters where the code belongs
        {"HTTP/1.1 2000 OK\r\n", false},
        {"HTTP/1.1\r\nServer: x", false},
        {"Set-Cookie: a=1\r\n", false},     // the library dropped a status line it could not read
        {"http/1.1 200 OK", false},
        {"     ", false},                   // nothing came back
        {"", false},
    };
    for (const auto& [block, isReply] : cases) {
        EXPECT_EQ(hasStatusLine(block), isReply) << block;
    }
}

TEST(RequestHeaders, AgentComesFromTheCallersLine) {
    struct Case {
        std::string headers;
        std::string agent;
    };
    const Case cases[] = {
        {"", std::string(kDefaultUserAgent)},
        {"X-A: 1", std::string(kDefaultUserAgent)},
        {"User-Agent: Foo", "Foo"},
        {"user-agent: Foo\r\nX-A: 1", "Foo"},
        {"X-A: 1\r\nUser-Agent:  Foo Bar ", "Foo Bar"},
        {"User-Agent:  \r\nX-A: 1", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(requestAgent(c.headers), c.agent) << c.headers;
    }
}

TEST(RequestHeaders, CompletionAddsOnlyWhatIsMissing) {
    struct Case {
        std::string headers;
        std::string cookies;
        std::string completed;
    };
    const std::string referer = "Referer: http://h/a?b=1";
    const Case cases[] = {
        {"", "", referer + kDefaults},
        {"", "a=1; b=2", referer + kDefaults + "\r\nCookie: a=1; b=2"},
        // The tests are exact-case: a lower-case referer does not count.
        {"referer: x", "", "referer: x\r\n" + referer + kDefaults},
        {"Accept: text/html", "", "Accept: text/html\r\n" + referer + "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
        {"Accept-Language: en", "", "Accept-Language: en\r\n" + referer + "\r\nAccept: */*\r\nContent-Type: application/x-www-form-urlencoded"},
        // A completed block gains only the Cookie line, even next to one that is there.
        {referer + kDefaults + "\r\nCookie: a=1", "a=2", referer + kDefaults + "\r\nCookie: a=1\r\nCookie: a=2"},
    };
    for (const Case& c : cases) {
        std::string headers = c.headers;
        completeRequestHeaders(headers, "http://h/a?b=1", c.cookies);
        EXPECT_EQ(headers, c.completed) << c.headers;
    }
}

TEST(RequestHeaders, CookieLinesAreRemovedByName) {
    EXPECT_EQ(withoutCookieLines("Referer: x\r\nCookie: a=1\r\ncookie : b\r\nX-Cookie: c\r\nCookie2: d\r\nCOOKIE: e"),
              "Referer: x\r\nX-Cookie: c\r\nCookie2: d");
    EXPECT_EQ(withoutCookieLines("Cookie: a=1"), "");
}

TEST(RequestHeaders, LocationIsResolvedAgainstTheCurrentAddress) {
    struct Case {
        std::string current;
        std::string location;
        std::string resolved;
    };
    const Case cases[] = {
        {"http://h:8/a/b?c=1", "http://x/y", "http://x/y"},
        {"http://h:8/a/b?c=1", "HTTPS://x/y", "HTTPS://x/y"},
        {"http://h:8/a/b?c=1", "//x/y", "http://x/y"},
        {"https://h/a", "//x/y", "https://x/y"},
        {"http://h:8/a/b?c=1", "/z?q=1", "http://h:8/z?q=1"},
        {"http://h:8/a/b?c=1", "z", "http://h:8/a/z"},
        {"http://h:8/a/b/", "z", "http://h:8/a/b/z"},
        {"http://h", "z", "http://h/z"},
        {"http://h?x=/1", "z", "http://h/z"},
        {"http://h/a", " /z#part ", "http://h/z"},
        {"http://h/a", "#part", ""},
        {"http://h/a", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resolveLocation(c.current, c.location), c.resolved) << c.current << " + " << c.location;
    }
}

TEST(RequestHeaders, FollowUpsThatMustNotBeMade) {
    struct Case {
        std::string from;
        std::string to;
        bool allowed;
    };
    const Case cases[] = {
        {"http://h/a", "http://h/b", true},
        {"http://h/a", "https://h/b", true},
        {"https://h/a", "HTTPS://h/b", true},
        {"https://h/a", "http://h/b", false},
        {"http://h/a", "", false},
        {"http://h/a", "http://h/b\rX: 1", false},
        {"http://h/a", "http://h/b\nX: 1", false},
        {"http://h/a", "http://h/b\0"s, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mayFollow(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
    }
}

TEST(RequestHeaders, HostsCompareWithoutPortsOrCase) {
    EXPECT_TRUE(sameHost("http://127.0.0.1:1/a", "http://127.0.0.1:2/b"));
    EXPECT_TRUE(sameHost("HTTP://Host/x", "https://host:443/"));
    EXPECT_FALSE(sameHost("http://127.0.0.1/", "http://localhost/"));
    EXPECT_FALSE(sameHost("http://a.example/", "http://b.example/"));
}

}  // namespace
}  // namespace quillane
