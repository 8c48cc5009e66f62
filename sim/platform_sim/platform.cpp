#include "sim/platform_sim/platform.h"

#include <cstdio>

#include "sim/platform_sim/defaults.h"
#include "sim/platform_sim/marketplace_links.h"
#include "sim/platform_sim/pretty_json.h"
#include "util/text/ascii.h"

namespace platform_sim {
namespace {

constexpr char kAdzonePath[] = "/common/adzone/newSelfAdzone2.json";
constexpr char kSearchPath[] = "/pubauc/searchAuctionList.json";
constexpr char kLinkPath[] = "/common/code/getAuctionCode.json";
constexpr char kPlain[] = "text/plain;charset=utf-8";
// Every service reply ends in the platform's envelope.
constexpr char kSuccessTail[] = "\"info\":{\"message\":null,\"ok\":true},\"ok\":true,\"invalidKey\":null}";
// Login cookies live for 30 days, as a "remember me" login on the real platform does.
constexpr long long kSessionSeconds = 30LL * 24 * 3600;

std::string htmlPage(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" + body +
           "</body></html>";
}

bool isService(const std::string& path) {
    return path == kAdzonePath || path == kSearchPath || path == kLinkPath;
}

bool faultTargets(const Fault& fault, const std::string& path) {
    if (fault.target == "any") {
        return true;
    }
    if (fault.target == "services") {
        return isService(path);
    }
    static const std::pair<const char*, const char*> kServices[] = {
        {"adzone", kAdzonePath}, {"search", kSearchPath}, {"link", kLinkPath}};
    for (const auto& [name, servicePath] : kServices) {
        if (fault.target == name) {
            return path == servicePath;
        }
    }
    return fault.target.starts_with("/") && path.starts_with(fault.target);
}

// Echoed values go inside a JSON string that is itself an address: anything that could end
// the string or is not plain ASCII is percent-encoded.
std::string addressSafe(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string safe;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
            safe += '%';
            safe += kHex[byte >> 4];
            safe += kHex[byte & 0x0F];
        } else {
            safe += c;
        }
    }
    return safe;
}

// The platform's session check: the HttpOnly session cookie, the token cookie, and the same
// token again in the query, all as issued.
bool loggedIn(const Request& request, const Settings& settings) {
    if (settings.sessionExpired) {
        return false;
    }
    const std::string cookies = request.cookieHeader();
    return cookieValue(cookies, kSessionCookieName) == settings.sessionValue &&
           cookieValue(cookies, kTokenCookieName) == settings.token &&
           queryValue(request.query, kTokenCookieName) == settings.token;
}

Reply json(std::string body) {
    Reply reply;
    reply.body = std::move(body);
    return reply;
}

Reply unsuccessful(const char8_t* message) {
    return json("{\"data\":null,\"info\":{\"message\":" + jsonString(utf8(message)) +
                ",\"ok\":false},\"ok\":false,\"invalidKey\":null}");
}

// Every service's answer to a session that has expired, and to a stale form token.
Reply notLoggedIn() {
    return unsuccessful(u8"nologin");
}

Reply staleToken() {
    return unsuccessful(u8"页面失效，建议重启浏览器再试！");
}

// The item id that the tool put at the end of q, after the encoded "=" of the item address.
std::string itemIdFromQuery(const std::string& query) {
    const std::string q = queryValue(query, "q").value_or("");
    const std::string lower = quillane::lowerAscii(q);
    const size_t encoded = lower.rfind("%3d");
    if (encoded != std::string::npos) {
        return q.substr(encoded + 3);
    }
    const size_t plain = q.rfind('=');
    return plain == std::string::npos ? q : q.substr(plain + 1);
}

// The item of a mobile item page: "/i<digits>.htm", or a detail page's id parameter.
std::string mobileItemId(const Request& request) {
    const std::string& path = request.path;
    if (path.starts_with("/i") && path.ends_with(".htm") && path.size() > 6 &&
        path.find_first_not_of("0123456789", 2) == path.size() - 4) {
        return path.substr(2, path.size() - 6);
    }
    static const char* const kDetailPaths[] = {"/awp/core/detail.htm", "/security-h5-detail/home",
                                               "/app/detail-project/pages/pages/index"};
    for (const char* detail : kDetailPaths) {
        if (path == detail) {
            return queryValue(request.query, "id").value_or("");
        }
    }
    return {};
}

// Changes a reply the way a strange or hostile server would.
void strangeReply(const Fault& fault, const Request& request, Reply& reply) {
    switch (fault.kind) {
        case Fault::Kind::HeaderBytes:
            for (int line = 0, bytes = 0; bytes < fault.value; ++line) {
                std::string filler = "X-Filler-" + std::to_string(line) + ": " + std::string(1000, 'f');
                bytes += static_cast<int>(filler.size()) + 2;
                reply.extraHeaders.push_back(std::move(filler));
            }
            break;
        case Fault::Kind::Cookies:
            for (int i = 0; i < fault.value; ++i) {
                reply.extraHeaders.push_back("Set-Cookie: fill" + std::to_string(i) + "=" + std::to_string(i) + "; Path=/");
            }
            break;
        case Fault::Kind::BodyBytes:
            // Leading blanks: the reply's own text stays whole behind them.
            if (static_cast<size_t>(fault.value) > reply.body.size()) {
                reply.body.insert(0, static_cast<size_t>(fault.value) - reply.body.size(), ' ');
            }
            break;
        case Fault::Kind::BadStatusLine:
            reply.statusLine = "HTTP/1.1 2OO OK";
            break;
        case Fault::Kind::BadText:
            reply.body = "\xFF\xFE\xC3\x28" + reply.body + std::string("\0\xF0\x28\x8C\x28", 5);
            break;
        case Fault::Kind::CookieLineBreaks:
            reply.extraHeaders.push_back("Set-Cookie: crpair=1\rX-Injected: cr; Path=/");
            reply.extraHeaders.push_back("Set-Cookie: lfpair=2\nX-Injected: lf; Path=/");
            break;
        case Fault::Kind::MovedLoop:
            reply.status = 301;
            reply.extraHeaders.push_back("Location: http://" + request.header("Host").value_or("") + request.target);
            break;
        default:
            break;
    }
}

}  // namespace

Platform::Platform(int port, RequestLog& log) : port_(port), log_(log), settings_(Settings::defaults()) {}

Outcome Platform::answer(int connection, const Request& request) {
    if (request.path.starts_with("/__")) {
        return control(request);
    }
    Settings settings;
    std::vector<Fault> faults;
    unsigned replyNumber = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings = settings_;
        replyNumber = ++replyCount_;
        for (auto rule = settings_.faults.begin(); rule != settings_.faults.end();) {
            if (!faultTargets(*rule, request.path)) {
                ++rule;
                continue;
            }
            faults.push_back(*rule);
            if (rule->remaining > 0 && --rule->remaining == 0) {
                rule = settings_.faults.erase(rule);
            } else {
                ++rule;
            }
        }
    }

    Outcome outcome;
    outcome.delayMs = settings.delayMs;
    outcome.keepAlive = settings.keepAlive && !request.wantsClose();
    outcome.reply = route(request, settings, replyNumber);
    std::string applied;
    for (const Fault& fault : faults) {
        switch (fault.kind) {
            case Fault::Kind::Status:
                outcome.reply = htmlReply(fault.value, htmlPage("Error", "<h1>" + std::to_string(fault.value) + " " +
                                                                        reasonPhrase(fault.value) + "</h1>"));
                break;
            case Fault::Kind::CutAtStart: outcome.cut = Outcome::Cut::AtStart; break;
            case Fault::Kind::CutMidReply: outcome.cut = Outcome::Cut::MidReply; break;
            case Fault::Kind::Delay: outcome.delayMs += fault.value; break;
            case Fault::Kind::NotLoggedIn: outcome.reply = notLoggedIn(); break;
            case Fault::Kind::StaleToken: outcome.reply = staleToken(); break;
            case Fault::Kind::ResetInHead: outcome.cut = Outcome::Cut::ResetInHead; break;
            case Fault::Kind::ResetInBody: outcome.cut = Outcome::Cut::ResetInBody; break;
            case Fault::Kind::Silent: outcome.cut = Outcome::Cut::Silent; break;
            case Fault::Kind::Trickle: outcome.trickleMs = fault.value; break;
            default: strangeReply(fault, request, outcome.reply); break;
        }
        if (!applied.empty()) {
            applied += ' ';
        }
        applied += fault.describe();
    }
    if (outcome.cut != Outcome::Cut::None || outcome.trickleMs > 0) {
        outcome.keepAlive = false;
    }
    const bool answered = outcome.cut != Outcome::Cut::AtStart && outcome.cut != Outcome::Cut::Silent;
    log_.add(connection, request, answered ? outcome.reply.status : 0, applied);
    return outcome;
}

Outcome Platform::control(const Request& request) {
    Outcome outcome;
    outcome.keepAlive = false;
    outcome.reply.contentType = kPlain;
    if (request.path == "/__control") {
        bool clearLog = false;
        std::string problem;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            problem = applyControl(settings_, request.query, clearLog);
        }
        if (problem.empty() && clearLog) {
            log_.clear();
        }
        outcome.reply.status = problem.empty() ? 200 : 400;
        outcome.reply.body = problem.empty() ? "ok\n" : problem + "\n";
    } else if (request.path == "/__log") {
        outcome.reply.body = log_.text();
    } else if (request.path == "/__quit") {
        outcome.reply.body = "bye\n";
        outcome.quit = true;
    } else if (request.path == "/__refuse") {
        const auto pairs = queryPairs(request.query);
        const bool given = pairs.size() == 1 && pairs[0].first == "ms" && parseNumber(pairs[0].second, outcome.refuseMs) &&
                           outcome.refuseMs > 0;
        outcome.reply.status = given ? 200 : 400;
        outcome.reply.body = given ? "refusing\n" : "refuse needs ms=N\n";
    } else {
        outcome.reply.status = 404;
        outcome.reply.body = "no such control\n";
    }
    return outcome;
}

Reply Platform::route(const Request& request, const Settings& settings, unsigned replyNumber) const {
    const std::string& path = request.path;
    if (isService(path)) {
        Reply reply = !loggedIn(request, settings) ? notLoggedIn()
                      : path == kAdzonePath        ? adzoneReply(settings)
                      : path == kSearchPath        ? searchReply(request, settings)
                                                   : linkReply(request, settings);
        if (settings.prettyReplies) {
            reply.body = prettyJson(reply.body);
        }
        // The platform renews its own cookies with every answer; the tool merges them into
        // the cookies it sends next.
        char session[40];
        std::snprintf(session, sizeof session, "%08X%08X", 0x5EED0000u + replyNumber, replyNumber * 2654435761u);
        reply.extraHeaders.push_back(std::string("Set-Cookie: JSESSIONID=") + session + "; Path=/; HttpOnly");
        reply.extraHeaders.push_back("Set-Cookie: pub-seq=" + std::to_string(replyNumber) + "; Path=/");
        for (const std::string& cookie : settings.replyCookies) {
            reply.extraHeaders.push_back("Set-Cookie: " + cookie);
        }
        return reply;
    }
    if (path == "/login" || path == "/logout") {
        return loginReply(path == "/login", settings);
    }
    if (const auto page = settings.pages.find(path); page != settings.pages.end()) {
        return htmlReply(200, page->second);
    }
    if (path == "/notice.html") {
        return htmlReply(200, settings.noticeBody);
    }
    if (path == "/item.htm") {
        return itemPage(queryValue(request.query, "id").value_or(""), true);
    }
    if (path.starts_with("/i/") && path.ends_with(".htm")) {
        return itemPage(path.substr(3, path.size() - 7), false);
    }
    if (const std::string mobileId = mobileItemId(request); !mobileId.empty()) {
        return itemPage(mobileId, true);
    }
    if (auto reply = marketplaceLinkReply(request, settings, port_)) {
        return *reply;
    }
    if (path.starts_with("/moved")) {
        const std::string host = request.header("Host").value_or("");
        if (host.starts_with("localhost")) {
            Reply reply = htmlReply(301, htmlPage("301 Moved Permanently", "<h1>Moved</h1>"));
            reply.extraHeaders.push_back("Location: " + settings.redirectTarget.value_or(otherHostAddress(port_)));
            reply.extraHeaders.push_back("Set-Cookie: hop=1; Path=/");
            return reply;
        }
        // Arrived on the other host name: a follow-up that appended the old path to the
        // new place is served as that path.
        Request rest = request;
        rest.path = path.substr(6).empty() ? "/" : path.substr(6);
        return route(rest, settings, replyNumber);
    }
    if (path == "/") {
        return htmlReply(200, htmlPage(utf8(u8"阿里妈妈"), utf8(u8"<a href=\"/login\">登录</a>")));
    }
    if (path == "/publisher/") {
        return htmlReply(200, htmlPage("Quillane", utf8(u8"Quillane 发布页")));
    }
    return htmlReply(404, htmlPage("404 Not Found", "<h1>404 Not Found</h1>"));
}

Reply Platform::adzoneReply(const Settings& settings) const {
    auto site = [](const std::string& siteIdKey, const std::string& adzoneIdKey, const char8_t* siteName,
                   const char8_t* zoneName) {
        return "{" + siteIdKey + "\"sub\":[{" + adzoneIdKey + "\"name\":" + jsonString(utf8(zoneName)) +
               "},{\"id\":303,\"name\":" + jsonString(utf8(u8"备用推广位")) +
               "}],\"name\":" + jsonString(utf8(siteName)) + "}";
    };
    if (settings.emptyAdzones) {
        return json(std::string("{\"data\":{\"webList\":[],\"otherAdzones\":null,\"hasSelfAdzone\":false},") +
                    kSuccessTail);
    }
    std::string body = "{\"data\":{";
    if (settings.leadingList) {
        body += "\"guideList\":[" +
                site("\"id\":\"" + std::string(kLeadingSiteId) + "\",", "\"id\":" + std::string(kLeadingAdzoneId) + ",",
                     u8"导购网站", u8"导购推广位") +
                "],";
    }
    const std::string siteKey = settings.omitSite ? "" : "\"id\":" + jsonString(settings.siteId) + ",";
    const std::string zoneKey = settings.omitAdzone ? "" : "\"id\":" + settings.adzoneId + ",";
    body += "\"otherAdzones\":[" + site(siteKey, zoneKey, u8"我的网站", u8"默认推广位") + "],";
    body += std::string("\"hasSelfAdzone\":true},") + kSuccessTail;
    return json(body);
}

Reply Platform::searchReply(const Request& request, const Settings& settings) const {
    const std::string itemId = itemIdFromQuery(request.query);
    if (itemId.empty()) {
        return unsuccessful(u8"请输入宝贝链接");
    }
    const ItemSetting& item = settings.item(itemId);
    if (!item.ok) {
        return unsuccessful(u8"宝贝不存在或已下架");
    }
    if (!item.found) {
        // The platform found nothing: still "ok", with a pvid between message and ok.
        return json("{\"data\":{\"head\":{\"pageNo\":1,\"pageSize\":40,\"docsfound\":0,\"status\":\"NORESULT\"},"
                    "\"pageList\":null},\"info\":{\"message\":null,\"pvid\":\"10_127.0.0.1_1_1501426771407\",\"ok\":true},"
                    "\"ok\":true,\"invalidKey\":null}");
    }
    std::string entry = "{\"title\":" + item.titleJson + ",\"auctionId\":" + jsonString(itemId) +
                        ",\"shopTitle\":" + jsonString(utf8(u8"模拟旗舰店")) + ",\"tkRate\":30.5";
    if (!item.zkPriceJson.empty()) {
        entry += ",\"zkPrice\":" + item.zkPriceJson;
    }
    entry += item.coupon ? ",\"couponInfo\":" + jsonString(utf8(u8"满40元减5元")) +
                               ",\"couponAmount\":5,\"couponEffectiveEndTime\":\"2026-12-31\""
                         : ",\"couponInfo\":" + jsonString(utf8(u8"无")) +
                               ",\"couponAmount\":0,\"couponEffectiveEndTime\":\"\"";
    if (item.commissionJson) {
        entry += ",\"calCommission\":" + *item.commissionJson;
    }
    entry += ",\"auctionUrl\":" +
             jsonString(otherHostAddress(port_) + "/item.htm?id=" + addressSafe(itemId)) +
             ",\"userType\":1}";
    std::string body = "{\"data\":{\"head\":{\"pageNo\":1,\"pageSize\":40,\"docsfound\":1},\"pageList\":[" + entry +
                       "],\"echo\":{\"q\":" + jsonString(queryValue(request.query, "q").value_or("")) + "}},";
    return json(body + kSuccessTail);
}

Reply Platform::linkReply(const Request& request, const Settings& settings) const {
    const std::string auctionId = queryValue(request.query, "auctionid").value_or("");
    const std::string adzoneId = queryValue(request.query, "adzoneid").value_or("");
    const std::string siteId = queryValue(request.query, "siteid").value_or("");
    if (!settings.linkOk || auctionId.empty() || adzoneId.empty() || siteId.empty()) {
        return unsuccessful(u8"推广位或商品不存在");
    }
    const std::string self = otherHostAddress(port_);
    const std::string elite =
        settings.eliteUrl.value_or(self + "/elite?auctionid=" + addressSafe(auctionId) +
                                   "&adzoneid=" + addressSafe(adzoneId) + "&siteid=" + addressSafe(siteId));
    const std::string eliteKey = "\"eliteUrl\":\"" + elite + "\",";
    const std::string clickKey = "\"clickUrl\":\"" + self + "/click?e=" + addressSafe(auctionId) + "\",";
    const std::string shortKey = "\"shortLinkUrl\":\"" + self + "/s/" + addressSafe(auctionId) + "\"";
    // The real shape: the token as UTF-8 "￥", an item without a coupon with empty values.
    const bool coupon = settings.item(auctionId).coupon;
    const auto token = [&](const char* prefix, bool given) {
        return settings.tokens == TokenShape::Empty || !given
                   ? std::string("\"\"")
                   : jsonString(utf8(u8"￥") + prefix + addressSafe(auctionId) + utf8(u8"￥"));
    };
    const std::string couponLink =
        coupon ? "\"https://uland.example/coupon/edetail?e=AbCd%2Bef&pid=mm_101_202\"" : std::string("\"\"");
    const std::string couponKeys =
        settings.tokens == TokenShape::None
            ? std::string()
            : "\"couponLinkTaoToken\":" + token("Cp", coupon) + ",\"couponLink\":" + couponLink + ",";
    std::string data = settings.tokens == TokenShape::None ? std::string() : "\"taoToken\":" + token("Tk", true) + ",";
    switch (settings.linkShape) {
        case LinkShape::Pair: data += shortKey + "," + eliteKey + clickKey; break;
        case LinkShape::Between: data += eliteKey + shortKey + "," + clickKey; break;
        case LinkShape::None: break;
        case LinkShape::Newer:
            // The newer shape: the coupon's short link first, the member's short link last.
            data += "\"couponShortLinkUrl\":\"" + self + "/coupon/" + addressSafe(auctionId) + "\"," +
                    "\"qrCodeUrl\":\"//gqrcode.example/img?text=" + addressSafe(auctionId) + "\"," + clickKey +
                    couponKeys;
            break;
    }
    if (settings.linkShape != LinkShape::Newer) {
        data += couponKeys;
    }
    data += "\"type\":\"auction\"";
    if (settings.linkShape == LinkShape::Newer) {
        data += "," + shortKey;
    }
    return json("{\"data\":{" + data + "}," + kSuccessTail);
}

Reply Platform::loginReply(bool login, const Settings& settings) const {
    Reply reply = htmlReply(200, login ? htmlPage(utf8(u8"阿里妈妈"), utf8(u8"登录成功") + kLoginOkMarker)
                                  : htmlPage(utf8(u8"阿里妈妈"), utf8(u8"已退出")));
    const std::string expires = login ? httpDate(kSessionSeconds) : "Thu, 01 Jan 1970 00:00:00 GMT";
    // As the platform sets them today: Secure and SameSite=None, the session cookie HttpOnly too.
    auto cookie = [&](const char* name, const std::string& value, bool httpOnly) {
        reply.extraHeaders.push_back(std::string("Set-Cookie: ") + name + "=" + (login ? value : "") +
                                     "; Expires=" + expires + "; Path=/; Secure; SameSite=None" +
                                     (httpOnly ? "; HttpOnly" : ""));
    };
    cookie(kTrackCookieName, kTrackCookieValue, false);
    cookie(kTokenCookieName, settings.token, false);
    cookie(kSessionCookieName, settings.sessionValue, true);
    return reply;
}

Reply Platform::itemPage(const std::string& itemId, bool idInAddress) const {
    const std::string safeId = addressSafe(itemId);
    std::string body = utf8(u8"<h1>宝贝详情</h1>");
    if (idInAddress) {
        body += "<p>item " + safeId + "</p>";
    }
    body += "<div id=\"J_Pine\" data-itemid=\"" + safeId + "\"></div>";
    return htmlReply(200, htmlPage(utf8(u8"淘宝网"), body));
}

}  // namespace platform_sim
