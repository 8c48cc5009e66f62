// The request engine against its own limits on this stack, in one process and one run:
//   1  N sequential GETs of a 1 KiB platform-like reply through httpRequest (with the session
//      cookies, as the platform requests are made) against a bare WinINet loop (open, connect,
//      request, read, close each time), interleaved round by round.
//   1t The same over TLS, against the simulated platform behind its TLS front: httpRequest
//      (a new Internet session per request) against a bare loop that keeps one session for the
//      whole run, and one that opens a session per GET; with the TLS connections (each one a
//      handshake) the simulator saw for each.
//   3  httpRequest of UTF-8 JSON replies of 1 KiB to 8 MiB: time per byte at each size, and
//      our UTF-8 to GBK conversion against the bare two-pass conversion calls on the same bytes.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/measure.h"
#include "http/encoding.h"
#include "http/request_engine.h"
#include "harness/platform_sim_client.h"
#include "http/parsing/request_headers.h"
#include "harness/scripted_server.h"
#include "util/owners.h"

namespace quillane::bench {
namespace {

constexpr int kOverheadRounds = 25;
constexpr int kGetsPerRound = 40;
constexpr int kSizeRounds = 7;
constexpr int kConversionRounds = 15;

// A session as the platform leaves it after a login, and the query the services are asked with.
constexpr const char* kSessionCookies =
    "t=8d0f2b4c6e1a3d5f7b9c0e2a4b6d8f10; _tb_token_=e5a3f1b7d9c2; cookie2=1c9b3e5f7a2d4c6e8b0a1f3d5c7e9a2b; "
    "cna=Qm3kFz1xYgQCAXt0h5c9wLp2; v=0; JSESSIONID=7C1E5A3B9D2F4C6E8A0B1D3F5E7C9A2B";
constexpr const char* kServiceQuery =
    "/pubauc/searchAuctionList.json?spm=a2320.7388781.a214tr8.d006.2u5wi7&q=http%3A%2F%2Fitem.taobao.com%2Fitem.htm"
    "%3Fid%3D52034767890&t=1700000000000&_tb_token_=e5a3f1b7d9c2&_input_charset=utf-8";

// A JSON reply of exactly size bytes whose padding is Chinese text (three UTF-8 bytes a
// character) and ASCII, as item titles are, so that the conversion has real work to do.
std::string jsonReplyOfSize(std::size_t size) {
    const std::string head = "{\"data\":{\"pageList\":[{\"title\":\"";
    const std::string tail = "\"}]},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}";
    const std::string piece = "\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99 summer dress ";  // UTF-8, 22 bytes
    std::string body = head;
    while (body.size() + tail.size() + piece.size() <= size) {
        body += piece;
    }
    body.append(size - body.size() - tail.size(), 'x');
    return body + tail;
}

std::string platformReply(const std::string& body) {
    return test::httpResponse("HTTP/1.1 200 OK",
                              "Server: Tengine\r\nContent-Type: application/json;charset=UTF-8\r\n"
                              "Set-Cookie: JSESSIONID=7C1E5A3B9D2F4C6E8A0B1D3F5E7C9A2B; Path=/; HttpOnly\r\n"
                              "Set-Cookie: pub-seq=1; Path=/\r\n",
                              body);
}

// Reads the reply to its end; the bytes it held.
std::size_t bytesRead(HINTERNET request) {
    char buffer[4096];
    std::size_t total = 0;
    DWORD count = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &count) && count > 0) {
        total += count;
    }
    return total;
}

// The least a program can do on this stack for one GET: open, connect, request, read, close.
// It opens its session as the engine does, with the proxy of Windows' Internet Options (read
// from the registry at each open: about 0.1 ms here, where a session opened for a direct
// connection reads nothing). It always goes to the server and keeps no cookies and no cache
// entry. With header lines and
// an agent given, it sends what the engine sends, so that the wire's own cost can be told
// from the engine's.
std::size_t bareGet(int port, const char* path, const std::string& agent = "bench", const std::string& headers = {}) {
    InternetHandle session(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    InternetHandle connection(InternetConnectA(session.get(), "127.0.0.1", static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0));
    InternetHandle request(HttpOpenRequestA(connection.get(), "GET", path, nullptr, nullptr, nullptr,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES, 0));
    if (request.get() == nullptr ||
        !HttpSendRequestA(request.get(), headers.empty() ? nullptr : headers.data(), static_cast<DWORD>(headers.size()),
                          nullptr, 0)) {
        return 0;
    }
    return bytesRead(request.get());
}

std::size_t engineGet(const std::string& address, std::string& cookies) {
    HttpRequestOptions request;
    request.url = address;
    request.cookies = cookies;
    const std::string body = httpRequest(request);
    cookies = *request.cookies;
    return body.size();
}

void engineOverhead() {
    test::ScriptedServer server;
    if (!server.listening()) {
        reportFailure("1", "engine / bare WinINet, 1 KiB GET", "no loopback server");
        return;
    }
    const std::string reply = platformReply(jsonReplyOfSize(1024));
    const std::string address = server.address(kServiceQuery);
    std::string cookies = kSessionCookies;

    // The header lines the engine sends for this request, its agent among them.
    std::string engineLines;
    completeRequestHeaders(engineLines, address, cookies);
    const std::string engineAgent(kDefaultUserAgent);

    std::vector<double> ratios, beyondWire, engineMs, bareMs;
    bool complete = true;
    for (int round = -1; round < kOverheadRounds; ++round) {  // round -1 warms every path up
        for (int i = 0; i < 3 * kGetsPerRound; ++i) {
            server.addReply(reply);
        }
        std::vector<double> gets[3];  // the engine, the bare loop, the bare loop with the engine's lines
        // GET by GET, each way in turn and each first in turn, so that a busy moment of the
        // machine falls on all alike. A round's figure is its median GET: a GET that the
        // shared machine happened to hold up says nothing about either side.
        for (int i = 0; i < kGetsPerRound; ++i) {
            for (int turn = 0; turn < 3; ++turn) {
                const int way = (i + turn) % 3;
                Stopwatch watch;
                const std::size_t size = way == 0   ? engineGet(address, cookies)
                                         : way == 1 ? bareGet(server.port(), kServiceQuery)
                                                    : bareGet(server.port(), kServiceQuery, engineAgent, engineLines);
                gets[way].push_back(watch.elapsedMs());
                // The engine hands back GBK: two bytes for each three-byte character.
                complete = complete && size >= 800;
            }
        }
        if (round >= 0) {
            const double engine = spreadOf(gets[0]).median;
            engineMs.push_back(engine);
            bareMs.push_back(spreadOf(gets[1]).median);
            ratios.push_back(engine / bareMs.back());
            beyondWire.push_back(engine / spreadOf(gets[2]).median);
        }
    }
    if (!complete) {
        reportFailure("1", "engine / bare WinINet, 1 KiB GET", "a GET came back short");
        return;
    }
    const std::string runs = std::to_string(kOverheadRounds) + " rounds of " + std::to_string(kGetsPerRound) +
                             " GETs each way, alternating, median GET of each; the server saw " +
                             std::to_string(server.requestCount()) + " requests on " +
                             std::to_string(server.connectionCount()) + " connection(s)";
    report({"1", "httpRequest / bare WinINet GET, 1 KiB reply", spreadOf(ratios), "x", Goal::AtMost, 1.10, runs});
    report({"1", "httpRequest / bare GET sending the engine's header lines", spreadOf(beyondWire), "x", Goal::Info, 0,
            "the engine's own part: what the bytes on the wire do not explain"});
    report({"1", "httpRequest, median GET", spreadOf(engineMs), "ms", Goal::Info, 0, "session cookies present"});
    report({"1", "bare WinINet, median GET", spreadOf(bareMs), "ms", Goal::Info, 0,
            "open, connect, request, read, close"});
}

// One GET over TLS on a session the caller keeps: connect, request, read, close, the session
// left open for the next.
std::size_t tlsGetOn(HINTERNET session, int port, const char* path) {
    InternetHandle connection(InternetConnectA(session, "localhost", static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    InternetHandle request(HttpOpenRequestA(connection.get(), "GET", path, nullptr, nullptr, nullptr,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                                                INTERNET_FLAG_SECURE,
                                            0));
    if (request.get() == nullptr || !HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) {
        return 0;
    }
    return bytesRead(request.get());
}

// The TLS connections that each way opened after the warm-up, from the simulator's log read
// once at the end: a connection counts for the way whose request it carried first. Each GET
// names its way and round in its query.
std::vector<int> newConnectionsByWay(test::PlatformSim& sim, int ways) {
    std::vector<int> opened(static_cast<std::size_t>(ways), 0);
    std::vector<int> seen;
    for (const test::SimRequest& request : sim.requests()) {
        if (std::find(seen.begin(), seen.end(), request.connection) != seen.end()) {
            continue;
        }
        seen.push_back(request.connection);
        const int way = std::atoi(request.queryValue("w").value_or("-1").c_str());
        if (request.queryValue("warm") != "1" && way >= 0 && way < ways) {
            ++opened[static_cast<std::size_t>(way)];
        }
    }
    return opened;
}

void tlsSessionLifetime() {
    test::PlatformSim sim;
    if (!sim.start() || !sim.set({{"page", "/kib"}, {"body", std::string(1024, 'x')}})) {
        reportFailure("1t", "TLS: httpRequest / one kept session", "the simulator or its TLS front did not start");
        return;
    }
    std::string cookies = kSessionCookies;
    InternetHandle kept(InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    std::vector<double> ratios, perGetSession, engineMs, keptMs, freshMs;
    bool complete = true;
    for (int round = -1; round < kOverheadRounds; ++round) {
        std::vector<double> gets[3];  // the engine, one kept session, a session per GET
        for (int i = 0; i < kGetsPerRound; ++i) {
            for (int turn = 0; turn < 3; ++turn) {
                const int way = (i + turn) % 3;
                const std::string path = "/kib?w=" + std::to_string(way) + (round < 0 ? "&warm=1" : "");
                Stopwatch watch;
                std::size_t size = 0;
                if (way == 0) {
                    size = engineGet(sim.apiUrl(path), cookies);
                } else if (way == 1) {
                    size = tlsGetOn(kept.get(), sim.tlsPort(), path.c_str());
                } else {
                    InternetHandle fresh(InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
                    size = tlsGetOn(fresh.get(), sim.tlsPort(), path.c_str());
                }
                gets[way].push_back(watch.elapsedMs());
                complete = complete && size >= 1024;
            }
        }
        if (round >= 0) {
            engineMs.push_back(spreadOf(gets[0]).median);
            keptMs.push_back(spreadOf(gets[1]).median);
            freshMs.push_back(spreadOf(gets[2]).median);
            ratios.push_back(engineMs.back() / freshMs.back());
            perGetSession.push_back(freshMs.back() / keptMs.back());
        }
    }
    if (!complete) {
        reportFailure("1t", "TLS: httpRequest / one kept session", "a GET came back short");
        return;
    }
    const int gets = kOverheadRounds * kGetsPerRound;
    const std::vector<int> connections = newConnectionsByWay(sim, 3);
    const std::string runs = std::to_string(kOverheadRounds) + " rounds of " + std::to_string(kGetsPerRound) +
                             " GETs each way over TLS, alternating, median GET of each";
    auto seen = [&](int way) {
        return "new TLS connections (handshakes) in " + std::to_string(gets) + " GETs: " + std::to_string(connections[way]);
    };
    report({"1t", "TLS: httpRequest / bare GET with a session per GET", spreadOf(ratios), "x", Goal::AtMost, 1.10,
            runs + "; engine: " + seen(0)});
    report({"1t", "TLS: bare GET, a session per GET / one session kept for the run", spreadOf(perGetSession), "x",
            Goal::Info, 0, "a session per GET: " + seen(2) + "; one kept: " + seen(1) +
            " (the library pools connections per process, not per session)"});
    report({"1t", "TLS: httpRequest, median GET", spreadOf(engineMs), "ms", Goal::Info, 0, "session cookies present"});
    report({"1t", "TLS: bare GET on one kept session, median GET", spreadOf(keptMs), "ms", Goal::Info, 0,
            "connect, request, read, close; the session open for the run"});
}

// The two conversions done as plainly as the API allows: each sized by a first call, into
// memory taken for it and not cleared, as a program that returns the converted text must
// take it. The replies hold no combining mark, so the composite check, which only joins a
// mark to the letter before it, is not asked for (utf8ToGbk leaves it out for such texts too).
std::size_t bareConversion(const std::string& utf8) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    const std::unique_ptr<wchar_t[]> wide(new wchar_t[static_cast<std::size_t>(units)]);
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.get(), units);
    const int bytes = WideCharToMultiByte(936, 0, wide.get(), units, nullptr, 0, nullptr, nullptr);
    const std::unique_ptr<char[]> gbk(new char[static_cast<std::size_t>(bytes)]);
    WideCharToMultiByte(936, 0, wide.get(), units, gbk.get(), bytes, nullptr, nullptr);
    return static_cast<std::size_t>(bytes);
}

// The same calls into buffers that are already there: what the calls alone cost.
std::size_t callsOnly(const std::string& utf8, std::wstring& wide, std::string& gbk) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(936, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    WideCharToMultiByte(936, 0, wide.data(), units, gbk.data(), bytes, nullptr, nullptr);
    return static_cast<std::size_t>(bytes);
}

struct SizeCase {
    const char* name;
    std::size_t bytes;
    int requests;     // per round, so that every round takes a measurable time
    int conversions;  // per round, each way
};

constexpr SizeCase kSizes[] = {
    {"1 KiB", 1024, 40, 2000},
    {"64 KiB", 64 * 1024, 20, 100},
    {"1 MiB", 1024 * 1024, 4, 8},
    {"8 MiB", 8 * 1024 * 1024, 1, 2},
};

void requestTimePerByte() {
    test::ScriptedServer server;
    if (!server.listening()) {
        reportFailure("3", "body size scaling", "no loopback server");
        return;
    }
    const std::string address = server.address("/pubauc/searchAuctionList.json?q=1");
    std::vector<std::vector<double>> nsPerByte(std::size(kSizes));
    std::vector<double> growth;  // per round: ns/B at 8 MiB over ns/B at 1 MiB
    for (int round = -1; round < kSizeRounds; ++round) {
        std::vector<double> roundNsPerByte;
        for (const SizeCase& size : kSizes) {
            const std::string reply = platformReply(jsonReplyOfSize(size.bytes));
            for (int i = 0; i < size.requests; ++i) {
                server.addReply(reply);
            }
            std::string cookies = kSessionCookies;
            Stopwatch watch;
            for (int i = 0; i < size.requests; ++i) {
                engineGet(address, cookies);
            }
            roundNsPerByte.push_back(watch.elapsedMs() * 1e6 / (static_cast<double>(size.bytes) * size.requests));
        }
        if (round >= 0) {
            for (std::size_t c = 0; c < std::size(kSizes); ++c) {
                nsPerByte[c].push_back(roundNsPerByte[c]);
            }
            growth.push_back(roundNsPerByte[3] / roundNsPerByte[2]);
        }
    }
    for (std::size_t c = 0; c < std::size(kSizes); ++c) {
        report({"3", std::string("httpRequest time per byte, ") + kSizes[c].name, spreadOf(nsPerByte[c]), "ns/B",
                Goal::Info, 0, std::to_string(kSizes[c].requests) + " GETs a round"});
    }
    report({"3", "time per byte, 8 MiB / 1 MiB", spreadOf(growth), "x", Goal::AtMost, 1.2,
            "flat: no growth with size; " + std::to_string(kSizeRounds) + " rounds"});
}

void conversionAgainstBareCalls() {
    for (const SizeCase& size : kSizes) {
        const std::string body = jsonReplyOfSize(size.bytes);
        std::wstring wide(body.size(), L'\0');
        std::string gbk(body.size() * 2, '\0');
        std::vector<double> againstBare, againstCalls;
        for (int round = -1; round < kConversionRounds; ++round) {
            // Call by call, each way in turn, starting with another way each time, so that
            // no way always meets a fresher cache or a quieter machine.
            double spent[3] = {0, 0, 0};
            std::size_t produced = 0;
            for (int i = 0; i < size.conversions; ++i) {
                for (int turn = 0; turn < 3; ++turn) {
                    const int way = (i + turn) % 3;
                    Stopwatch convert;
                    produced += way == 0   ? utf8ToGbk(body).size()
                                : way == 1 ? bareConversion(body)
                                           : callsOnly(body, wide, gbk);
                    spent[way] += convert.elapsedMs();
                }
            }
            if (produced == 0) {
                reportFailure("3", "conversion", "a conversion gave nothing");
                return;
            }
            if (round >= 0) {
                againstBare.push_back(spent[0] / spent[1]);
                againstCalls.push_back(spent[0] / spent[2]);
            }
        }
        report({"3", std::string("utf8ToGbk / bare two-pass calls, ") + size.name, spreadOf(againstBare), "x",
                Goal::AtMost, 1.2,
                std::to_string(kConversionRounds) + " rounds of " + std::to_string(size.conversions) +
                    " each way; against the calls alone into buffers already there: " +
                    formatNumber(spreadOf(againstCalls).median) + "x"});
    }
}

}  // namespace
}  // namespace quillane::bench

int main() {
    quillane::bench::engineOverhead();
    quillane::bench::tlsSessionLifetime();
    quillane::bench::requestTimePerByte();
    quillane::bench::conversionAgainstBareCalls();
    return 0;
}
