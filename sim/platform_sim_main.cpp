// platform_sim.exe: a stand-in for the affiliate platform, on 127.0.0.1, for tests, benchmarks
// and the demo. It speaks plain HTTP; the harness puts a TLS front before it (harness/tls-front),
// through which the tool reaches the services as https://localhost:TLSPORT.
//
//   platform_sim.exe <port, 0 for any free one> <port file> <log file>
//
// Once it listens it writes the port number into the port file. It serves every host name
// that reaches it: the tool uses "localhost" (through the TLS front) for the API host, and item
// pages and the notice page are reached as "127.0.0.1:PORT", a separate cookie host. Replies are UTF-8;
// JSON ones say "application/json;charset=UTF-8". Connections are kept alive unless the
// client sends "Connection: close" (or keepAlive=0 below).
//
// Paths:
//   /common/adzone/newSelfAdzone2.json, /pubauc/searchAuctionList.json,
//   /common/code/getAuctionCode.json   the services, every reply in the platform's envelope
//       {"data":..,"info":{"message":..,"ok":..},"ok":..,"invalidKey":null}; without the cookies
//       cookie2 (HttpOnly) and _tb_token_ as issued, or with another _tb_token_ in the query,
//       the not-logged-in reply (message "nologin").
//       Each reply sets JSESSIONID and pub-seq. The link's eliteUrl echoes auctionid, adzoneid
//       and siteid; an empty one of them gives an unsuccessful reply, as an empty search q does.
//   /login, /logout     set (30 days) or expire the session cookies t, _tb_token_, cookie2, all
//                       Secure; SameSite=None, cookie2 HttpOnly.
//   /item.htm?id=N      item page; /i/N.htm: item page with N only in data-itemid="N"></div>.
//   /i<N>.htm, /awp/core/detail.htm?id=N, /security-h5-detail/home?id=N,
//   /app/detail-project/pages/pages/index?id=N   mobile item pages.
//   /h.CODE             a short link's page: its script hands off (var url = '...') to the
//                       address set with shortLink= below; /h.5zxz3j69cN5go4k goes to
//                       /i20496648200.htm?...; any other code is dead (var url = '').
//   /t?e=E              an affiliate link: 302 to /t_js?tu=<this link, percent-encoded>; asked
//                       for with a /t_js page as Referer, 302 to the Tmall page of the item
//                       whose id is E's last run of digits (/item.htm?spm=..&id=..&ali_trackid=..).
//   /t_js?tu=U          the jump page: var real_jump_address = 'U' with & written &amp;.
//   /notice.html        the notice page; /publisher/ the publisher's site; / a home page.
//   /moved...           on localhost: 301 to http://127.0.0.1:PORT (no path); on another host
//                       name the rest of the path is served.
//   /__log              the request log (format in platform_sim/request_log.h); /__quit stops.
//   /__refuse?ms=N      connections are refused for N ms (the listener closes), then it
//                       listens again on the same port.
//   /__control?k=v&...  changes modes (values percent-encoded UTF-8); 400 on an unknown key:
//     reset=1 all defaults | clearLog=1 | session=ok|expired | token=T (issued and demanded)
//     relogin=1  the member logs in again: a new token and session cookie are issued by /login
//       and demanded, the old ones answered "nologin" (put them in the store with /login)
//     site=101 zone=202 omitSite=1 omitZone=1 leadingList=1 (site 901 / zone 902 in a list
//       before otherAdzones) emptyAdzones=1 (an account without sites: "webList":[],
//       "otherAdzones":null, and "ok":true)
//     pretty=1 (every service's reply with its keys sorted by name, a tab per level, line
//       breaks, and every character beyond ASCII as a \u escape)
//     item=ID|* with title=TEXT | titleJson=RAW | commission=RAW (12.5, null, "3") |
//       omitCommission=1 | searchOk=0 | noResult=1 (status NORESULT, pageList null, a pvid in
//       info between message and ok) | zkPrice=RAW (default 41.67; empty: no such key) |
//       coupon=1 (the search names a coupon 满40元减5元, 5 off, until 2026-12-31, and the link
//       reply its page and 淘口令; without it "无", 0, "" and empty coupon values)
//     linkOk=0 | linkShape=pair|none|between|newer | eliteUrl=RAW  pair: eliteUrl directly
//       followed by clickUrl; between: shortLinkUrl between them; newer: the newer shape, no
//       eliteUrl, shortLinkUrl last after couponShortLinkUrl; none: no link key at all
//     tokens=item|none|empty  the link reply's taoToken ￥Tk<auctionid>￥ (and, for an item
//       with a coupon, couponLinkTaoToken ￥Cp<auctionid>￥); none: the older replies without
//       the keys; empty: "" for both
//     notice=BODY | page=/PATH&body=BODY | redirectTo=URL
//     shortLink=/h.CODE&to=TARGET  where that short link hands off: a path (the simulator's own
//       address is put before it) or a whole address of any scheme, as given
//     delay=MS (every reply) | keepAlive=0 | replyCookie=SET-COOKIE-VALUE (repeatable; empty
//       clears) added to the service replies
//     fault=status:CODE|cut:start|cut:mid|delay:MS|nologin|staletoken|none  on=services|adzone|search|
//       link|any|/PATH-PREFIX (default services)  times=N (default: every request)
//       more faults: reset:head|reset:body (RST inside the header block or the body), silent
//       (never answers), trickle:MS (the body one byte every MS), header:BYTES (filler header
//       lines), cookies:N (N more Set-Cookie lines), body:BYTES (body padded with leading
//       blanks), badstatus (a status line that is none), badtext (bytes that are not UTF-8
//       and a zero byte around the reply), cookiebreaks (Set-Cookie values with a bare CR and
//       a bare LF), loop (301 to the requested address itself)
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/platform_sim/platform.h"
#include "sim/platform_sim/request_log.h"
#include "sim/platform_sim/server.h"

namespace {

// Written beside the target and renamed into place, so that a reader never sees half of it.
bool writePortFile(const std::string& path, int port) {
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        return false;
    }
    std::fprintf(file, "%d\n", port);
    std::fclose(file);
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: platform_sim <port|0> <port file> <log file>\n");
        return 2;
    }
    char* end = nullptr;
    const long port = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || port < 0 || port > 65535) {
        std::fprintf(stderr, "platform_sim: bad port %s\n", argv[1]);
        return 2;
    }
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        return 3;
    }
    int exitCode = 0;
    {
        platform_sim::Server server;
        if (!server.listen(static_cast<int>(port))) {
            std::fprintf(stderr, "platform_sim: cannot listen on 127.0.0.1:%ld\n", port);
            exitCode = 3;
        } else {
            platform_sim::RequestLog log(argv[3]);
            platform_sim::Platform platform(server.port(), log);
            if (!writePortFile(argv[2], server.port())) {
                std::fprintf(stderr, "platform_sim: cannot write %s\n", argv[2]);
                exitCode = 3;
            } else {
                server.run(platform);
            }
        }
    }
    WSACleanup();
    return exitCode;
}
