// The request engine against a scripted server on 127.0.0.1: exact bytes in, exact bytes out.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "http/request_engine.h"
#include "http/parsing/request_headers.h"
#include "http/request_limits.h"
#include "harness/wait.h"
#include "harness/scripted_server.h"

namespace quillane {
namespace {

using test::httpResponse;
using test::ScriptedReply;
using test::ScriptedServer;
using test::kTestRequestTimeoutMs;

const std::string kDefaultLines =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";
const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4";

HttpRequestOptions requestTo(std::string url) {
    HttpRequestOptions request;
    request.url = std::move(url);
    return request;
}

// The head WinINet writes before the engine's header block.
std::string wireHead(std::string_view requestLine, const ScriptedServer& server, std::string_view host = "127.0.0.1") {
    return std::string(requestLine) + " HTTP/1.1\r\nHost: " + std::string(host) + ":" + std::to_string(server.port()) +
           "\r\nUser-Agent: " +
           std::string(kDefaultUserAgent) + "\r\n";
}

std::string storeCookiesFor(const char* url) {
    char buffer[4096] = {};
    DWORD size = sizeof(buffer);
    return InternetGetCookieA(url, nullptr, buffer, &size) ? std::string(buffer) : std::string();
}

bool hasLine(std::string_view request, std::string_view line) {
    return request.find("\r\n" + std::string(line) + "\r\n") != std::string_view::npos;
}

TEST(RequestEngineWire, HeaderBlockFollowsWhetherCookiesAreGiven) {
    struct Case {
        std::optional<std::string> cookies;
        std::string cookieLine;
    };
    const Case cases[] = {{std::string("a=1; b=2"), "\r\nCookie: a=1; b=2"}, {std::string(), ""}, {std::nullopt, ""}};
    for (const Case& c : cases) {
        ScriptedServer server;
        server.addReply(httpResponse("HTTP/1.1 200 OK", "", "body"));
        // 127.0.0.1: the simulator's logins leave cookies for localhost in the shared store.
        HttpRequestOptions request = requestTo(server.address("/plain/page?q=1"));
        request.cookies = c.cookies;
        EXPECT_EQ(httpRequest(request), "body");
        const std::string block = "Referer: " + request.url + kDefaultLines + c.cookieLine;
        EXPECT_EQ(request.headers, block);
        ASSERT_EQ(server.requestCount(), 1u);
        EXPECT_EQ(server.requests()[0], wireHead("GET /plain/page?q=1", server) + block + "\r\n\r\n");
    }
}

// With a cookie text the library neither sends the system store's cookies nor stores the
// reply's; without one, the store serves the request as it serves the browser.
TEST(RequestEngineWire, SystemStoreIsUsedOnlyWithoutCookieText) {
    // 127.0.0.1: the simulator's logins leave cookies for localhost in the shared store.
    ASSERT_TRUE(InternetSetCookieExA("http://127.0.0.1/seeded/", nullptr, "store=1; path=/seeded", 0, 0));
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 200 OK", "Set-Cookie: fromreply=2; path=/seeded\r\n", "absent"));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "Set-Cookie: notstored=3; path=/seeded\r\n", "empty"));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "given"));

    EXPECT_EQ(fetchPage(server.address("/seeded/a")), "absent");
    HttpRequestOptions empty = requestTo(server.address("/seeded/b"));
    empty.cookies = "";
    EXPECT_EQ(httpRequest(empty), "empty");
    EXPECT_EQ(empty.cookies, "notstored=3");
    HttpRequestOptions given = requestTo(server.address("/seeded/c"));
    given.cookies = "mine=4";
    EXPECT_EQ(httpRequest(given), "given");

    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(hasLine(requests[0], "Cookie: store=1")) << requests[0];
    EXPECT_EQ(requests[1].find("Cookie:"), std::string::npos) << requests[1];
    EXPECT_TRUE(hasLine(requests[2], "Cookie: mine=4")) << requests[2];
    EXPECT_EQ(requests[2].find("store=1"), std::string::npos) << requests[2];
    const std::string stored = storeCookiesFor("http://127.0.0.1/seeded/");
    EXPECT_NE(stored.find("fromreply=2"), std::string::npos) << stored;
    EXPECT_EQ(stored.find("notstored"), std::string::npos) << stored;
}

// Replies may carry the member's session and links: none is left in the URL cache on disk.
TEST(RequestEngineWire, RepliesLeaveNoCacheEntry) {
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 200 OK", "Cache-Control: max-age=3600\r\n", "page"));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "Cache-Control: max-age=3600\r\n", "service"));
    const std::string page = server.address("/cache/page");
    const std::string service = server.address("/cache/service?t=1");
    EXPECT_EQ(fetchPage(page), "page");
    HttpRequestOptions request = requestTo(service);
    request.cookies = "a=1";
    EXPECT_EQ(httpRequest(request), "service");
    for (const std::string& address : {page, service}) {
        DWORD size = 0;
        EXPECT_FALSE(GetUrlCacheEntryInfoA(address.c_str(), nullptr, &size)) << address;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << address;
    }
}

TEST(RequestEngineWire, CallersAgentReplacesTheDefault) {
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "x"));
    HttpRequestOptions request = requestTo(server.address("/agent"));
    request.headers = "X-A: 1\r\nUser-Agent: Foo";
    EXPECT_EQ(httpRequest(request), "x");
    ASSERT_EQ(server.requestCount(), 1u);
    const std::string sent = server.requests()[0];
    EXPECT_TRUE(hasLine(sent, "User-Agent: Foo")) << sent;
    EXPECT_EQ(sent.find(std::string(kDefaultUserAgent)), std::string::npos) << sent;
}

TEST(RequestEngineWire, PostSendsTextOrBytes) {
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "text"));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "bytes"));

    HttpRequestOptions fromText = requestTo(server.address("/form"));
    fromText.method = 1;
    fromText.postText = "a=1&b=2";
    EXPECT_EQ(httpRequest(fromText), "text");
    EXPECT_EQ(fromText.postBytes, "a=1&b=2");

    HttpRequestOptions fromBytes = requestTo(server.address("/upload"));
    fromBytes.method = 1;
    fromBytes.postText = "ignored";
    fromBytes.postBytes = std::string("\x01\x00\x02", 3);
    EXPECT_EQ(httpRequest(fromBytes), "bytes");

    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 16), "POST /form HTTP/");
    EXPECT_TRUE(hasLine(requests[0], "Content-Length: 7")) << requests[0];
    EXPECT_TRUE(hasLine(requests[0], "Content-Type: application/x-www-form-urlencoded")) << requests[0];
    EXPECT_EQ(requests[0].substr(requests[0].size() - 11), "\r\n\r\na=1&b=2");
    EXPECT_EQ(requests[1].substr(requests[1].size() - 7), std::string("\r\n\r\n\x01\x00\x02", 7));
}

TEST(RequestEngineWire, ProxyReceivesTheAbsoluteAddress) {
    ScriptedServer proxy;
    proxy.addReply(httpResponse("HTTP/1.1 200 OK", "", "via proxy"));
    // Nothing listens on port 1: only the proxy can answer.
    HttpRequestOptions request = requestTo("http://127.0.0.1:1/p?q=1");
    request.proxy = "127.0.0.1:" + std::to_string(proxy.port());
    EXPECT_EQ(httpRequest(request), "via proxy");
    ASSERT_EQ(proxy.requestCount(), 1u);
    const std::string sent = proxy.requests()[0];
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")), "GET http://127.0.0.1:1/p?q=1 HTTP/1.1");
}

TEST(RequestEngineWire, OtherMethodsSendNothing) {
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "x"));
    for (int method : {2, -1}) {
        HttpRequestOptions request = requestTo(server.address("/never"));
        request.method = method;
        request.postText = "a=1";
        EXPECT_EQ(httpRequestBytes(request), "");
        EXPECT_EQ(request.headers, "");
        EXPECT_EQ(request.postBytes, "");
    }
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST(RequestEngineReply, CookiesAreCollectedAndMerged) {
    const std::string lines =
        "Set-Cookie: a=1; path=/collect\r\nSet-Cookie: b=2; HttpOnly\r\nSet-Cookie: c=3\r\nset-cookie: d=4; path=/collect\r\n"
        "X-Set-Cookie-Note: e=5; ignored\r\n";
    struct Case {
        std::optional<std::string> cookies;
        std::string received;
        std::optional<std::string> merged;
    };
    const Case cases[] = {{std::nullopt, "a=1; b=2; c=3; d=4", std::nullopt},
                          {std::string("x=9; a=0"), "a=1;b=2;c=3;d=4", std::string("a=1; b=2; c=3; d=4; x=9")}};
    for (const Case& c : cases) {
        ScriptedServer server;
        server.addReply(httpResponse("HTTP/1.1 200 OK", lines, "ok"));
        // Cookies without a path stay under /collect in the system store.
        HttpRequestOptions request = requestTo(server.address("/collect/page"));
        request.cookies = c.cookies;
        EXPECT_EQ(httpRequest(request), "ok");
        EXPECT_EQ(request.receivedCookies, c.received);
        EXPECT_EQ(request.cookies, c.merged);
    }
}

TEST(RequestEngineReply, LocationFieldFollowsTheLineTest) {
    struct Case {
        std::string headerLines;
        std::string location;  // empty: the raw header block
    };
    const Case cases[] = {
        {"Location: http://h2/x\r\n", "http://h2/x"},
        {"Content-Location: /c.html\r\n", "/c.html"},
        {"location: /lower\r\n", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        ScriptedServer server;
        server.addReply(httpResponse("HTTP/1.1 200 OK", c.headerLines, "ok"));
        HttpRequestOptions request = requestTo(server.address("/where"));
        EXPECT_EQ(httpRequest(request), "ok");
        EXPECT_EQ(request.location, c.location.empty() ? request.rawHeaders : c.location) << c.headerLines;
        EXPECT_EQ(request.rawHeaders.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    }
}

TEST(RequestEngineReply, ZeroByteEndsTextButNotBytes) {
    ScriptedServer server;
    const std::string body("ab\0cd", 5);
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", body));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", body));
    HttpRequestOptions asText = requestTo(server.address("/zero"));
    EXPECT_EQ(httpRequest(asText), "ab");
    HttpRequestOptions asBytes = requestTo(server.address("/zero"));
    EXPECT_EQ(httpRequestBytes(asBytes), body);
}

TEST(RequestEngineReply, Utf8IsConvertedWhenMarkedEarlyOrInHeaders) {
    struct Case {
        std::size_t markPosition;  // 1-based; 0: no mark
        std::string mark;
        std::string headerLines;
        bool converted;
    };
    const Case cases[] = {
        {499, "utf-8", "", true},
        {500, "utf-8", "", false},
        {500, "utf-8", "Content-Type: text/html; charset=UTF-8\r\n", true},
        {0, "", "X-Charset: utf-8\r\n", true},
        {10, "UTF-8", "", false},
    };
    for (const Case& c : cases) {
        std::string body = c.markPosition == 0 ? std::string() : std::string(c.markPosition - 1, 'a') + c.mark;
        body += kChineseUtf8;
        ScriptedServer server;
        server.addReply(httpResponse("HTTP/1.1 200 OK", c.headerLines, body));
        HttpRequestOptions request = requestTo(server.address("/charset"));
        const std::string result = httpRequestBytes(request);
        const std::string& expectedTail = c.converted ? kChineseGbk : kChineseUtf8;
        ASSERT_GE(result.size(), expectedTail.size()) << c.markPosition;
        EXPECT_EQ(result.substr(result.size() - expectedTail.size()), expectedTail) << c.markPosition << " " << c.headerLines;
    }
}

TEST(RequestEngineReply, ChunkedAndCloseDelimitedBodiesArriveWhole) {
    ScriptedServer server;
    server.addReply(ScriptedReply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n01234\r\n").pause(50).send(
        "3\r\nabc\r\n0\r\n\r\n"));
    server.addReply(ScriptedReply("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nuntil the end").close());
    HttpRequestOptions chunked = requestTo(server.address("/chunked"));
    EXPECT_EQ(httpRequest(chunked), "01234abc");
    HttpRequestOptions delimited = requestTo(server.address("/delimited"));
    EXPECT_EQ(httpRequest(delimited), "until the end");
}

TEST(RequestEngineReply, BrokenTransferGivesEmptyResult) {
    const std::string half = "HTTP/1.1 200 OK\r\nSet-Cookie: s=1\r\nContent-Length: 100\r\n\r\n" + std::string(50, 'x');
    const ScriptedReply replies[] = {ScriptedReply(half).close(), ScriptedReply(half).pause(50).reset()};
    for (const ScriptedReply& reply : replies) {
        ScriptedServer server;
        server.addReply(reply);
        HttpRequestOptions request = requestTo(server.address("/half"));
        request.cookies = "";
        EXPECT_EQ(httpRequestBytes(request), "");
        // The cookies that did arrive are kept: the session must not be lost.
        EXPECT_EQ(request.cookies, "s=1");
    }
}

TEST(RequestEngineReply, RefusedConnectionGivesEmptyResult) {
    ScriptedServer server;
    const int closedPort = server.port();
    server.stop();
    HttpRequestOptions request = requestTo("http://127.0.0.1:" + std::to_string(closedPort) + "/gone");
    request.cookies = "a=1";
    EXPECT_EQ(httpRequest(request), "");
    EXPECT_EQ(request.receivedCookies, "");
    EXPECT_EQ(request.cookies, "a=1");
}

// The one slow test: a server that takes the request and never answers.
TEST(RequestEngineTimeout, SilentServerEndsAfterTheTimeout) {
    // The program's deployment may shorten the time-out; the engine must honour it.
    setRequestTimeoutMs(kTestRequestTimeoutMs);
    ScriptedServer server;
    server.addReply(ScriptedReply().holdOpen());
    HttpRequestOptions request = requestTo(server.address("/silent"));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(httpRequest(request), "");
    const ULONGLONG elapsed = GetTickCount64() - start;
    // The server still held the connection when the call returned: the engine gave up by itself.
    EXPECT_EQ(server.requestCount(), 1u);
    std::printf("silent server: returned after %llu ms (time-out %lu ms)\n", elapsed, requestTimeoutMs());
    RecordProperty("elapsed_ms", std::to_string(elapsed));
    setRequestTimeoutMs(0);
}

}  // namespace
}  // namespace quillane
