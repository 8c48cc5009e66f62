// The simulated platform itself, spoken to with plain WinINet calls (not the tool's engine):
// its session checks, the reply shapes seen through the tool's marker cutter, staged faults,
// the request log, the login into the system cookie store, and a clean stop.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

#include "sim/platform_sim/defaults.h"
#include "tests/support/platform_sim_client.h"
#include "tests/support/wait.h"
#include "util/text.h"

namespace quillane::test {
namespace {

using InternetHandle = std::unique_ptr<void, decltype(&InternetCloseHandle)>;

constexpr char kSuccessMarker[] = "message\":null,\"ok\":true},\"ok\":true";
constexpr char kAdzone[] = "/common/adzone/newSelfAdzone2.json";
constexpr char kSearch[] = "/pubauc/searchAuctionList.json";
constexpr char kLink[] = "/common/code/getAuctionCode.json";
constexpr char kItem[] = "12345678901";

const std::string kSessionCookies = std::string("t=") + platform_sim::kTrackCookieValue + "; " +
                                    platform_sim::kTokenCookieName + "=" + platform_sim::kDefaultToken + "; " +
                                    platform_sim::kSessionCookieName + "=" + platform_sim::kSessionCookieValue;

std::string serviceQuery(const std::string& path, const std::string& token = platform_sim::kDefaultToken) {
    const std::string tail = "&t=1700000000000&_tb_token_=" + token + "&_input_charset=utf-8";
    if (path == kAdzone) {
        return path + "?tag=29" + tail;
    }
    if (path == kSearch) {
        return path + "?spm=a2320.7388781.a214tr8.d006.2u5wi7&q=http%3A%2F%2Flocalhost%2Fitem.htm%3Fid%3D" + kItem +
               tail;
    }
    return path + "?auctionid=" + kItem + "&adzoneid=202&siteid=101" + tail;
}

bool succeeded(const std::string& reply) {
    const size_t at = reply.find(kSuccessMarker);
    return at != std::string::npos && at > 0;
}

struct WebReply {
    bool answered = false;  // a status line arrived (WinINet reports status 0 when none did)
    int status = 0;
    std::string rawHeaders;
    std::string body;
};

struct WebRequest {
    explicit WebRequest(std::string objectName, std::string cookieHeader = {})
        : object(std::move(objectName)), cookie(std::move(cookieHeader)) {}

    std::string host = "127.0.0.1";
    std::string object;
    std::string cookie;     // sent in a Cookie header, the store left out
    bool useStore = false;  // the store's cookies instead
    bool followRedirects = true;
    DWORD receiveTimeoutMs = 0;  // 0: WinINet's default
};

// One GET as a browser-like client makes it, on its own WinINet session.
WebReply wininetGet(const PlatformSim& sim, const WebRequest& request) {
    WebReply reply;
    InternetHandle session(InternetOpenA("platform_sim_test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0),
                           &InternetCloseHandle);
    InternetHandle connection(
        InternetConnectA(session.get(), request.host.c_str(), static_cast<INTERNET_PORT>(sim.port()), "", "",
                         INTERNET_SERVICE_HTTP, 0, 0),
        &InternetCloseHandle);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    flags |= request.useStore ? 0 : INTERNET_FLAG_NO_COOKIES;
    flags |= request.followRedirects ? 0 : INTERNET_FLAG_NO_AUTO_REDIRECT;
    InternetHandle handle(
        HttpOpenRequestA(connection.get(), "GET", request.object.c_str(), "HTTP/1.1", nullptr, nullptr, flags, 0),
        &InternetCloseHandle);
    if (!handle) {
        return reply;
    }
    if (request.receiveTimeoutMs) {
        InternetSetOptionA(handle.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, const_cast<DWORD*>(&request.receiveTimeoutMs),
                           sizeof(DWORD));
    }
    const std::string headers = request.cookie.empty() ? std::string() : "Cookie: " + request.cookie;
    if (!HttpSendRequestA(handle.get(), headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0)) {
        return reply;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoA(handle.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    reply.status = static_cast<int>(status);
    reply.answered = status != 0;
    char rawHeaders[8192] = {};
    size = sizeof rawHeaders;
    HttpQueryInfoA(handle.get(), HTTP_QUERY_RAW_HEADERS_CRLF, rawHeaders, &size, nullptr);
    reply.rawHeaders = rawHeaders;
    char chunk[4096];
    DWORD read = 0;
    while (InternetReadFile(handle.get(), chunk, sizeof chunk, &read) && read > 0) {
        reply.body.append(chunk, read);
    }
    return reply;
}

WebRequest onOtherHost(std::string object) {
    WebRequest request(std::move(object));
    request.host = "localhost";
    return request;
}

WebReply service(const PlatformSim& sim, const std::string& path, const std::string& cookie = kSessionCookies) {
    return wininetGet(sim, WebRequest(serviceQuery(path), cookie));
}

std::string storeCookies(const char* url, DWORD flags) {
    char buffer[4096] = {};
    DWORD size = sizeof buffer;
    return InternetGetCookieExA(url, nullptr, buffer, &size, flags, nullptr) ? std::string(buffer) : std::string();
}

class PlatformSimTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.start()); }
    void TearDown() override { EXPECT_TRUE(sim.stop()); }

    PlatformSim sim;
};

TEST_F(PlatformSimTest, ServicesAnswerOnlyTheSessionTheyIssued) {
    const std::string token = std::string(platform_sim::kTokenCookieName) + "=" + platform_sim::kDefaultToken;
    const std::string session = std::string(platform_sim::kSessionCookieName) + "=" + platform_sim::kSessionCookieValue;
    struct Case {
        const char* what;
        std::string cookie;
        std::string queryToken;
        std::vector<std::pair<std::string, std::string>> modes;
        bool loggedIn;
    } cases[] = {
        {"issued cookies and token", kSessionCookies, platform_sim::kDefaultToken, {}, true},
        {"no cookies", "", platform_sim::kDefaultToken, {}, false},
        {"token cookie without the HttpOnly session cookie", token, platform_sim::kDefaultToken, {}, false},
        {"another token cookie", session + "; _tb_token_=0000", platform_sim::kDefaultToken, {}, false},
        {"another token in the query", kSessionCookies, "0000", {}, false},
        {"an empty token in the query", kSessionCookies, "", {}, false},
        {"session expired meanwhile", kSessionCookies, platform_sim::kDefaultToken, {{"session", "expired"}}, false},
        {"session back", kSessionCookies, platform_sim::kDefaultToken, {{"session", "ok"}}, true},
    };
    for (const Case& c : cases) {
        if (!c.modes.empty()) {
            ASSERT_TRUE(sim.set(c.modes)) << c.what;
        }
        for (const char* path : {kAdzone, kSearch, kLink}) {
            const WebReply reply = wininetGet(sim, WebRequest(serviceQuery(path, c.queryToken), c.cookie));
            ASSERT_EQ(reply.status, 200) << c.what << " " << path;
            EXPECT_EQ(succeeded(reply.body), c.loggedIn) << c.what << " " << path << "\n" << reply.body;
            EXPECT_EQ(reply.body.find("nologin") != std::string::npos, !c.loggedIn) << c.what << " " << path;
            EXPECT_NE(reply.rawHeaders.find("Content-Type: application/json;charset=UTF-8"), std::string::npos);
            EXPECT_NE(reply.rawHeaders.find("Set-Cookie: JSESSIONID="), std::string::npos);
        }
    }
}

TEST_F(PlatformSimTest, RepliesHoldWhatTheToolsMarkersCut) {
    const std::string title = reinterpret_cast<const char*>(platform_sim::kDefaultTitleJson);
    const std::string elite = "http://" + sim.otherHost() + "/elite?auctionid=" + kItem + "&adzoneid=202&siteid=101";
    // With another key between eliteUrl and clickUrl the cut runs on to clickUrl.
    const std::string eliteThenShortLink = elite + "\",\"shortLinkUrl\":\"http://" + sim.otherHost() + "/s/" + kItem;
    const std::string defaultCommission = platform_sim::kDefaultCommission;
    struct Marker {
        const char* start;
        const char* end;
    };
    const Marker site{"otherAdzones\":[{\"id\":\"", "\",\"sub\":[{\"id\":"};
    const Marker zone{"\",\"sub\":[{\"id\":", ",\"name\":"};
    const Marker titleMarker{"title\":", ",\""};
    const Marker commission{",\"calCommission\":", ","};
    const Marker link{"eliteUrl\":\"", "\",\"clickUrl"};
    struct Case {
        std::vector<std::pair<std::string, std::string>> modes;
        const char* path;
        Marker marker;
        std::string expected;
        bool success;
    } cases[] = {
        {{}, kAdzone, site, "101", true},
        {{}, kAdzone, zone, "202", true},
        {{{"site", "7"}, {"zone", "8"}}, kAdzone, site, "7", true},
        {{{"site", "7"}, {"zone", "8"}}, kAdzone, zone, "8", true},
        {{{"leadingList", "1"}}, kAdzone, site, "101", true},
        {{{"leadingList", "1"}}, kAdzone, zone, platform_sim::kLeadingAdzoneId, true},
        {{{"omitSite", "1"}}, kAdzone, site, "", true},
        {{{"omitZone", "1"}}, kAdzone, zone, "", true},
        {{}, kSearch, titleMarker, title, true},
        {{}, kSearch, commission, platform_sim::kDefaultCommission, true},
        {{{"item", kItem}, {"title", "ABC"}, {"commission", "12.5"}}, kSearch, titleMarker, "\"ABC\"", true},
        {{{"item", kItem}, {"title", "ABC"}, {"commission", "12.5"}}, kSearch, commission, "12.5", true},
        {{{"item", "99999999999"}, {"commission", "12.5"}}, kSearch, commission, defaultCommission, true},
        {{{"commission", "null"}}, kSearch, commission, "null", true},
        {{{"omitCommission", "1"}}, kSearch, commission, "", true},
        {{{"item", kItem}, {"searchOk", "0"}}, kSearch, titleMarker, "", false},
        {{}, kLink, link, elite, true},
        {{{"linkShape", "none"}}, kLink, link, "", true},
        {{{"linkShape", "between"}}, kLink, link, eliteThenShortLink, true},
        {{{"linkOk", "0"}}, kLink, link, "", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sim.set({{"reset", "1"}}));
        if (!c.modes.empty()) {
            ASSERT_TRUE(sim.set(c.modes));
        }
        const WebReply reply = service(sim, c.path);
        EXPECT_EQ(succeeded(reply.body), c.success) << reply.body;
        EXPECT_EQ(textBetween(reply.body, c.marker.start, c.marker.end), c.expected) << reply.body;
    }
}

TEST_F(PlatformSimTest, StagedFaultsHitOnlyTheirTargetAndCount) {
    const size_t fullLength = service(sim, kAdzone).body.size();
    ASSERT_TRUE(sim.set({{"fault", "status:500"}, {"on", "search"}, {"times", "1"}}));
    ASSERT_TRUE(sim.set({{"fault", "cut:mid"}, {"on", "adzone"}, {"times", "1"}}));
    ASSERT_TRUE(sim.set({{"fault", "nologin"}, {"on", "link"}}));

    const WebReply failedSearch = service(sim, kSearch);
    EXPECT_EQ(failedSearch.status, 500);
    EXPECT_FALSE(succeeded(failedSearch.body));
    EXPECT_TRUE(succeeded(service(sim, kSearch).body)) << "the fault was for one request only";

    const WebReply cut = service(sim, kAdzone);
    EXPECT_LT(cut.body.size(), fullLength);
    EXPECT_TRUE(succeeded(service(sim, kAdzone).body));

    EXPECT_NE(service(sim, kLink).body.find("nologin"), std::string::npos);
    EXPECT_NE(service(sim, kLink).body.find("nologin"), std::string::npos) << "no count: every request";

    ASSERT_TRUE(sim.set({{"fault", "none"}}));
    ASSERT_TRUE(sim.set({{"fault", "cut:start"}, {"on", "/item.htm"}}));
    EXPECT_TRUE(succeeded(service(sim, kLink).body));
    EXPECT_FALSE(wininetGet(sim, WebRequest("/item.htm?id=1")).answered);

    const auto log = sim.requests();
    ASSERT_GE(log.size(), 9u);
    EXPECT_EQ(log[1].status, 500);
    EXPECT_EQ(log[1].fault, "status:500");
    EXPECT_EQ(log[3].fault, "cut:mid");
    EXPECT_EQ(log[5].fault, "nologin");
    EXPECT_EQ(log.back().path(), "/item.htm");
    EXPECT_EQ(log.back().status, 0);
    EXPECT_EQ(log.back().fault, "cut:start");

    EXPECT_FALSE(sim.set({{"fault", "explode"}}));
    EXPECT_FALSE(sim.set({{"nosuchmode", "1"}}));
}

TEST_F(PlatformSimTest, DelayedReplyOutlastsAShortReceiveTimeout) {
    ASSERT_TRUE(sim.set({{"delay", "20000"}}));
    WebRequest slow(serviceQuery(kAdzone), kSessionCookies);
    slow.receiveTimeoutMs = 1500;
    EXPECT_FALSE(wininetGet(sim, slow).answered);
    ASSERT_TRUE(sim.set({{"delay", "0"}}));
    EXPECT_TRUE(succeeded(wininetGet(sim, slow).body));
}

TEST_F(PlatformSimTest, StopsCleanlyWhileAReplyIsHeldBack) {
    ASSERT_TRUE(sim.set({{"fault", "delay:600000"}, {"on", "any"}}));
    std::thread client([this] { wininetGet(sim, WebRequest("/notice.html")); });
    EXPECT_TRUE(waitUntil([this] { return sim.requests().size() == 1; }));
    EXPECT_TRUE(sim.stop());
    client.join();
}

TEST_F(PlatformSimTest, LogKeepsExactRequestLinesHeadersAndConnections) {
    const std::string raw =
        "GET " + std::string(kAdzone) +
        "?tag=29&_input_charset=utf-8  HTTP/1.1\r\n"
        "Host: 127.0.0.1:1\r\nCookie: a=1\r\nX-Odd:  spaced \r\nCookie: b=2\r\nConnection: close\r\n\r\n";
    EXPECT_NE(sim.exchange(raw).find("nologin"), std::string::npos);

    // WinINet keeps the connection alive: both requests come on one connection.
    InternetHandle session(InternetOpenA("platform_sim_test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0),
                           &InternetCloseHandle);
    InternetHandle connection(InternetConnectA(session.get(), "localhost", static_cast<INTERNET_PORT>(sim.port()), "",
                                               "", INTERNET_SERVICE_HTTP, 0, 0),
                              &InternetCloseHandle);
    for (const char* object : {"/notice.html?a=1", "/notice.html?b=2"}) {
        InternetHandle request(
            HttpOpenRequestA(connection.get(), "GET", object, "HTTP/1.1", nullptr, nullptr,
                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES, 0),
            &InternetCloseHandle);
        const char* cookie = "Cookie: c=3";
        ASSERT_TRUE(HttpSendRequestA(request.get(), cookie, static_cast<DWORD>(strlen(cookie)), nullptr, 0));
        char chunk[4096];
        DWORD read = 0;
        while (InternetReadFile(request.get(), chunk, sizeof chunk, &read) && read > 0) {
        }
    }

    const auto log = sim.requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].requestLine, "GET " + std::string(kAdzone) + "?tag=29&_input_charset=utf-8  HTTP/1.1");
    EXPECT_EQ(log[0].target(), std::string(kAdzone) + "?tag=29&_input_charset=utf-8 ");
    EXPECT_EQ(log[0].queryValue("_input_charset"), "utf-8 ");
    EXPECT_EQ(log[0].host(), "127.0.0.1:1");
    EXPECT_EQ(log[0].cookieHeader(), "a=1; b=2");
    EXPECT_EQ(log[0].headerLines.at(2), "X-Odd:  spaced ");

    EXPECT_EQ(log[1].requestLine, "GET /notice.html?a=1 HTTP/1.1");
    EXPECT_EQ(log[1].host(), sim.otherHost());
    EXPECT_EQ(log[1].cookieHeader(), "c=3");
    EXPECT_EQ(log[2].target(), "/notice.html?b=2");
    EXPECT_EQ(log[1].connection, log[2].connection);
    EXPECT_NE(log[0].connection, log[1].connection);

    ASSERT_TRUE(sim.clearLog());
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(PlatformSimTest, AnswersEveryRequestOfAConnectionInTurn) {
    struct Case {
        const char* what;
        std::string bytes;
        int replies;        // status lines that come back before the simulator closes
        int logged;         // requests it records
        const char* reply;  // a text the replies must hold
    } cases[] = {
        {"two requests in one write",
         "GET /i/1.htm HTTP/1.1\r\nHost: a\r\n\r\nGET /i/2.htm HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n", 2, 2,
         "data-itemid=\"2\""},
        {"a body, then the next request",
         "POST /i/3.htm HTTP/1.1\r\nHost: a\r\nContent-Length: 5\r\n\r\nGET /xGET /i/4.htm HTTP/1.1\r\nHost: "
         "a\r\nConnection: close\r\n\r\n",
         2, 2, "data-itemid=\"4\""},
        {"HTTP/1.0 ends after one reply", "GET /i/5.htm HTTP/1.0\r\n\r\nGET /i/6.htm HTTP/1.0\r\n\r\n", 1, 1,
         "Connection: close"},
        {"a line that is no request", "HELLO\r\n\r\n", 1, 0, "HTTP/1.1 400 Bad Request"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sim.clearLog());
        const std::string reply = sim.exchange(c.bytes);
        int replies = 0;
        for (size_t at = reply.find("HTTP/1.1 "); at != std::string::npos; at = reply.find("HTTP/1.1 ", at + 1)) {
            ++replies;
        }
        EXPECT_EQ(replies, c.replies) << c.what << "\n" << reply;
        EXPECT_NE(reply.find(c.reply), std::string::npos) << c.what << "\n" << reply;
        const auto log = sim.requests();
        ASSERT_EQ(log.size(), static_cast<size_t>(c.logged)) << c.what;
        if (c.logged == 2) {
            EXPECT_EQ(log[0].connection, log[1].connection) << c.what;
        }
    }
    ASSERT_TRUE(sim.set({{"keepAlive", "0"}}));
    const WebReply closing = wininetGet(sim, WebRequest("/i/7.htm"));
    EXPECT_NE(closing.rawHeaders.find("Connection: close"), std::string::npos);
}

TEST_F(PlatformSimTest, ServesItemPagesTheNoticeAndAMovedAddress) {
    ASSERT_TRUE(sim.set({{"notice", "x公告++Welcome++y公告++Second++"}}));
    struct Case {
        const char* object;
        int status;
        std::string contains;
    } cases[] = {
        {"/item.htm?id=12345678901", 200, "data-itemid=\"12345678901\"></div>"},
        {"/i/23456789012.htm", 200, "data-itemid=\"23456789012\"></div>"},
        {"/notice.html", 200, gbkToUtf8("x公告++Welcome++y公告++Second++")},
        {"/nothing-here", 404, "404"},
    };
    for (const Case& c : cases) {
        const WebReply reply = wininetGet(sim, onOtherHost(c.object));
        EXPECT_EQ(reply.status, c.status) << c.object;
        EXPECT_NE(reply.body.find(c.contains), std::string::npos) << c.object << "\n" << reply.body;
        EXPECT_NE(reply.rawHeaders.find("charset=utf-8"), std::string::npos) << c.object;
    }
    EXPECT_EQ(wininetGet(sim, onOtherHost("/notice.html")).body, gbkToUtf8("x公告++Welcome++y公告++Second++"));
    EXPECT_EQ(wininetGet(sim, WebRequest("/i/23456789012.htm")).body.find("id=23456789012"), std::string::npos);

    WebRequest noFollow("/moved/item.htm?id=1");
    noFollow.followRedirects = false;
    const WebReply moved = wininetGet(sim, noFollow);
    EXPECT_EQ(moved.status, 301);
    EXPECT_NE(moved.rawHeaders.find("Location: http://" + sim.otherHost() + "\r\n"), std::string::npos);
    // Followed the tool's way (the old path appended to the new place): the item page on the other host.
    const WebReply arrived = wininetGet(sim, onOtherHost("/moved/item.htm?id=12345678901"));
    EXPECT_NE(arrived.body.find("data-itemid=\"12345678901\""), std::string::npos);
}

TEST_F(PlatformSimTest, LoginLeavesTheSessionInTheSystemCookieStore) {
    const std::string apiAddress = "http://127.0.0.1";
    const std::string session = std::string(platform_sim::kSessionCookieName) + "=" + platform_sim::kSessionCookieValue;
    const std::string token = std::string(platform_sim::kTokenCookieName) + "=" + platform_sim::kDefaultToken;

    ASSERT_TRUE(sim.logOut());
    EXPECT_EQ(storeCookies(apiAddress.c_str(), INTERNET_COOKIE_HTTPONLY).find(session), std::string::npos);

    ASSERT_TRUE(sim.logIn());
    const std::string withHttpOnly = storeCookies(apiAddress.c_str(), INTERNET_COOKIE_HTTPONLY);
    const std::string plain = storeCookies(apiAddress.c_str(), 0);
    EXPECT_NE(withHttpOnly.find(session), std::string::npos) << withHttpOnly;
    EXPECT_NE(withHttpOnly.find(token), std::string::npos) << withHttpOnly;
    EXPECT_EQ(plain.find(session), std::string::npos) << "the session cookie is HttpOnly: " << plain;
    EXPECT_NE(plain.find(token), std::string::npos) << plain;
    // The tool finds the token only inside the text, neither first nor last.
    EXPECT_GT(withHttpOnly.find(token), 0u);
    EXPECT_NE(withHttpOnly.find(token + ";"), std::string::npos) << withHttpOnly;
    EXPECT_EQ(storeCookies("http://localhost", INTERNET_COOKIE_HTTPONLY).find(session), std::string::npos);

    // A browser-like request with the store's cookies is logged in.
    WebRequest browser(serviceQuery(kAdzone));
    browser.useStore = true;
    EXPECT_TRUE(succeeded(wininetGet(sim, browser).body));
    EXPECT_EQ(sim.requestsTo(kAdzone).at(0).cookieHeader().find(session) != std::string::npos, true);
    EXPECT_TRUE(sim.logOut()) << "the session must not stay in the store shared by all tests";
}

}  // namespace
}  // namespace quillane::test
