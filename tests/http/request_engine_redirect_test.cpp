// Redirects through the request engine: the "301 Moved" follow-up, the redirects the engine
// follows in the library's place, their bound, and where the session may go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/request_engine.h"
#include "http/request_limits.h"
#include "harness/scripted_server.h"

namespace quillane {
namespace {

using test::httpResponse;
using test::ScriptedReply;
using test::ScriptedServer;
using test::requestLine;

// The header lines the engine wrote, below those the library writes itself.
std::string engineBlock(std::string_view request) {
    const std::size_t begin = request.find("\r\nReferer: ") + 2;
    return std::string(request.substr(begin, request.find("\r\n\r\n") - begin));
}

// The two ways a redirect is followed: "301 Moved" by the engine's own rule (the library told
// not to follow), and any redirect in the library's place.
struct FollowedRedirect {
    std::string statusLine;
    bool noRedirect;
};
const FollowedRedirect kFollowedRedirects[] = {{"HTTP/1.1 301 Moved Permanently", true}, {"HTTP/1.1 302 Found", false}};

HttpRequestOptions requestTo(std::string url, bool noRedirect) {
    HttpRequestOptions request;
    request.url = std::move(url);
    request.noRedirect = noRedirect;
    return request;
}

TEST(RequestEngineMoved, OnlyHttp11MovedIsFollowedByTheEngine) {
    struct Case {
        std::string statusLine;
        bool followed;
    };
    const Case cases[] = {
        {"HTTP/1.1 301 Moved Permanently", true}, {"HTTP/1.1 301 Moved", true},
        {"HTTP/1.1 301 moved permanently", true}, {"HTTP/1.1 301 Permanently Moved", false},
        {"HTTP/1.1 301", false},                  {"HTTP/1.0 301 Moved Permanently", false},
        {"HTTP/1.1 302 Found", false},
    };
    for (const Case& c : cases) {
        ScriptedServer server;
        const std::string target = server.address("/moved");
        server.addReply(httpResponse(c.statusLine, "Location: " + target + "\r\n", "first"));
        server.addReply(httpResponse("HTTP/1.1 200 OK", "", "second"));
        HttpRequestOptions request = requestTo(server.address("/a/b?c=1"), true);
        const std::string result = httpRequest(request);
        const std::vector<std::string> requests = server.requests();
        if (c.followed) {
            EXPECT_EQ(result, "second") << c.statusLine;
            ASSERT_EQ(requests.size(), 2u) << c.statusLine;
            // The Location names the new place; the current path and query follow it.
            EXPECT_EQ(requestLine(requests[1]), "GET /moved/a/b?c=1 HTTP/1.1");
        } else {
            EXPECT_EQ(result, "first") << c.statusLine;
            EXPECT_EQ(requests.size(), 1u) << c.statusLine;
            EXPECT_EQ(request.location, target) << c.statusLine;
        }
    }
}

TEST(RequestEngineMoved, FollowUpCarriesTheMergedCookiesToTheSameHost) {
    ScriptedServer server;
    server.addReply(
        httpResponse("HTTP/1.1 301 Moved Permanently", "Set-Cookie: n=2; path=/\r\nLocation: " + server.address("/m") + "\r\n", ""));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "done"));
    HttpRequestOptions request = requestTo(server.address("/start"), true);
    request.cookies = "sid=1";
    EXPECT_EQ(httpRequest(request), "done");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    // The completed block goes again, the Referer still the first address, with one more
    // Cookie line holding the merged text; the library sends the last Cookie line alone.
    EXPECT_EQ(request.headers, engineBlock(requests[0]) + "\r\nCookie: n=2; sid=1");
    EXPECT_EQ(engineBlock(requests[1]), engineBlock(requests[0].substr(0, requests[0].find("\r\nCookie: "))) +
                                            "\r\nCookie: n=2; sid=1");
    EXPECT_EQ(request.cookies, "n=2; sid=1");
}

// 127.0.0.1 and localhost are two hosts on the same server: a redirect to the second must not
// carry the session, whether the engine follows a "301 Moved" or a redirect in the library's place.
TEST(RequestEngineSession, NoCookieLineGoesToAnotherHost) {
    for (const FollowedRedirect& c : kFollowedRedirects) {
        ScriptedServer server;
        const std::string otherHost = server.address("", "localhost");
        server.addReply(httpResponse(c.statusLine, "Set-Cookie: n=2\r\nLocation: " + otherHost + "/elsewhere\r\n", ""));
        server.addReply(httpResponse("HTTP/1.1 200 OK", "", "there"));
        HttpRequestOptions request = requestTo(server.address("/here"), c.noRedirect);
        request.cookies = "sid=1";
        request.headers = "X-Keep: 1";
        EXPECT_EQ(httpRequest(request), "there") << c.statusLine;
        const std::vector<std::string> requests = server.requests();
        ASSERT_EQ(requests.size(), 2u) << c.statusLine;
        EXPECT_NE(requests[0].find("\r\nCookie: sid=1\r\n"), std::string::npos);
        EXPECT_NE(requests[1].find("\r\nHost: localhost:"), std::string::npos) << requests[1];
        EXPECT_EQ(requests[1].find("ookie"), std::string::npos) << requests[1];
        EXPECT_NE(requests[1].find("\r\nX-Keep: 1\r\n"), std::string::npos) << requests[1];
        // The session itself is kept for the caller's host.
        EXPECT_EQ(request.cookies, "n=2; sid=1");
    }
}

TEST(RequestEngineSession, CookiesReturnWithTheWayBack) {
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 302 Found", "Location: " + server.address("/sso", "localhost") + "\r\n", ""));
    server.addReply(httpResponse("HTTP/1.1 302 Found", "Location: " + server.address("/back") + "\r\n", ""));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "home"));
    HttpRequestOptions request = requestTo(server.address("/start"), false);
    request.cookies = "sid=1";
    EXPECT_EQ(httpRequest(request), "home");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].find("ookie"), std::string::npos) << requests[1];
    EXPECT_EQ(engineBlock(requests[2]), engineBlock(requests[0]));
}

TEST(RequestEngineRedirect, MethodAndBodyFollowTheStatus) {
    struct Case {
        int status;
        std::string verb;
        bool body;
    };
    const Case cases[] = {{301, "POST", false}, {302, "POST", false}, {303, "POST", false}, {307, "POST", true}, {308, "POST", true}};
    for (const Case& c : cases) {
        ScriptedServer server;
        server.addReply(httpResponse("HTTP/1.1 " + std::to_string(c.status) + " Redirect", "location: /next\r\n", ""));
        server.addReply(httpResponse("HTTP/1.1 200 OK", "", "landed"));
        HttpRequestOptions request = requestTo(server.address("/form"), false);
        request.method = 1;
        request.postText = "a=1&b=2";
        EXPECT_EQ(httpRequest(request), "landed") << c.status;
        const std::vector<std::string> requests = server.requests();
        ASSERT_EQ(requests.size(), 2u) << c.status;
        const std::string& second = requests[1];
        if (c.body) {
            EXPECT_EQ(requestLine(second), "POST /next HTTP/1.1") << c.status;
            EXPECT_EQ(second.substr(second.size() - 11), "\r\n\r\na=1&b=2") << c.status;
        } else {
            EXPECT_EQ(requestLine(second), "GET /next HTTP/1.1") << c.status;
            EXPECT_EQ(second.substr(second.size() - 4), "\r\n\r\n") << c.status;
            EXPECT_EQ(second.find("Content-Length"), std::string::npos) << second;
        }
        // The header block goes again as it was sent: no second Referer or default line.
        EXPECT_EQ(engineBlock(second), engineBlock(requests[0])) << c.status;
    }
}

TEST(RequestEngineRedirect, RedirectsInARowAreBounded) {
    for (const FollowedRedirect& c : kFollowedRedirects) {
        for (int redirects : {kMaxRedirectsFollowed, kMaxRedirectsFollowed + 1}) {
            ScriptedServer server;
            // A redirect to the same address: "Moved" appends the path to a Location without one.
            const std::string location = c.noRedirect ? server.address("") : server.address("/loop");
            for (int i = 0; i < redirects; ++i) {
                server.addReply(httpResponse(c.statusLine, "Location: " + location + "\r\n", ""));
            }
            server.addReply(httpResponse("HTTP/1.1 200 OK", "", "out"));
            HttpRequestOptions request = requestTo(server.address("/loop"), c.noRedirect);
            const bool withinBound = redirects <= kMaxRedirectsFollowed;
            EXPECT_EQ(httpRequest(request), withinBound ? "out" : "") << c.statusLine << " " << redirects;
            EXPECT_EQ(server.requestCount(), static_cast<std::size_t>(kMaxRedirectsFollowed + 1)) << c.statusLine;
            for (const std::string& sent : server.requests()) {
                EXPECT_EQ(requestLine(sent), "GET /loop HTTP/1.1");
            }
        }
    }
}

TEST(RequestEngineSession, NothingFromAReplyBreaksALaterHeaderBlock) {
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 301 Moved Permanently",
                                 "Set-Cookie: bad=1\rX-Injected: 1; path=/\r\nSet-Cookie: good=2\r\nLocation: " +
                                     server.address("/m") + "\r\n",
                                 ""));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "clean"));
    HttpRequestOptions request = requestTo(server.address("/start"), true);
    request.cookies = "sid=1";
    EXPECT_EQ(httpRequest(request), "clean");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(request.cookies, "good=2; sid=1");
    EXPECT_NE(requests[1].find("\r\nCookie: good=2; sid=1\r\n"), std::string::npos) << requests[1];
    EXPECT_EQ(requests[1].find("Injected"), std::string::npos) << requests[1];
}

TEST(RequestEngineSession, UnusableLocationIsNotFollowed) {
    struct Case {
        std::string statusLine;
        std::string locationLine;
        bool noRedirect;
    };
    const Case cases[] = {
        {"HTTP/1.1 302 Found", "Location: /next\rX-Injected: 1\r\n", false},
        {"HTTP/1.1 301 Moved Permanently", "Location: /next\rX-Injected: 1\r\n", true},
        // Without a Location the fallback copy of the header block would become the address.
        {"HTTP/1.1 301 Moved Permanently", "", true},
        // "Moved" puts the current path after a relative Location: an address without a host.
        {"HTTP/1.1 301 Moved Permanently", "Location: /relative\r\n", true},
    };
    for (const Case& c : cases) {
        ScriptedServer server;
        server.addReply(httpResponse(c.statusLine, c.locationLine, "first"));
        server.addReply(httpResponse("HTTP/1.1 200 OK", "", "never"));
        HttpRequestOptions request = requestTo(server.address("/start"), c.noRedirect);
        EXPECT_EQ(httpRequest(request), "") << c.statusLine;
        EXPECT_EQ(server.requestCount(), 1u) << c.statusLine;
    }
}

TEST(RequestEngineRedirect, LargeHeaderBlockKeepsItsCookiesAndRedirect) {
    std::string filler;
    for (int i = 0; i < 100; ++i) {
        filler += "X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'f') + "\r\n";
    }
    ScriptedServer server;
    server.addReply(httpResponse("HTTP/1.1 301 Moved Permanently",
                                 filler + "Set-Cookie: late=1\r\nLocation: " + server.address("/after") + "\r\n", ""));
    server.addReply(httpResponse("HTTP/1.1 200 OK", "", "after"));
    HttpRequestOptions request = requestTo(server.address("/big"), true);
    request.cookies = "";
    EXPECT_EQ(httpRequest(request), "after");
    EXPECT_EQ(server.requestCount(), 2u);
    EXPECT_EQ(request.cookies, "late=1");
}

}  // namespace
}  // namespace quillane
