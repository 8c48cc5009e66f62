#pragma once
// The simulator's modes: how its services answer, which faults it stages, and the pages it
// serves. Tests change them at run time with GET /__control?key=value&...; the keys are
// described at the top of platform_sim_main.cpp.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform_sim {

// How the item-search service answers for one item id.
struct ItemSetting {
    std::string titleJson;                      // raw JSON value of "title"
    std::optional<std::string> commissionJson;  // raw JSON value of calCommission; absent: no such key
    bool ok = true;                             // false: a reply without the success marker
    bool found = true;                          // false: the platform's NORESULT answer
    std::string zkPriceJson = "41.67";          // raw JSON value of zkPrice; empty: no such key
    // A coupon: the search names it (满40元减5元, 5 off, its last day) and the link reply
    // carries its page and 淘口令; without, "无", 0 and empty values, as the platform sends.
    bool coupon = false;
};

// Pair: eliteUrl directly followed by clickUrl. Between: another key between them. Newer: the
// newer shape, whose link is shortLinkUrl (after couponShortLinkUrl), without eliteUrl. None:
// the success marker without any link.
enum class LinkShape { Pair, None, Between, Newer };

// The link reply's 淘口令: one of the item's own (￥Tk<id>￥, and ￥Cp<id>￥ for its coupon),
// none at all (the older replies), or empty values.
enum class TokenShape { Item, None, Empty };

// A staged failure. Every rule that matches a request applies to it, in the order given.
struct Fault {
    enum class Kind {
        Status, CutAtStart, CutMidReply, Delay, NotLoggedIn,
        // Transport faults: a reset inside the header block or the body, no answer at all, a
        // body sent one byte at a time.
        ResetInHead, ResetInBody, Silent, Trickle,
        // Strange replies: padded header block, many cookies, padded body, a status line that
        // is not one, bytes that are not UTF-8 and zero bytes, cookies with line breaks in
        // them, a 301 to the address itself.
        HeaderBytes, Cookies, BodyBytes, BadStatusLine, BadText, CookieLineBreaks, MovedLoop,
        // The platform's answer to a stale form token.
        StaleToken,
    } kind = Kind::Status;
    int value = 0;                    // the status code, delay or trickle interval in ms, or a size
    std::string target = "services";  // services, adzone, search, link, any, or a path prefix
    int remaining = -1;               // requests left to hit; -1: every one

    std::string describe() const;
};

struct Settings {
    // Session: what /login issues and what the services demand.
    std::string token;
    std::string sessionValue;  // of the HttpOnly session cookie
    bool sessionExpired = false;
    int logins = 0;  // fresh logins issued since the start ("relogin")

    // Ad-zone service.
    std::string siteId;
    std::string adzoneId;
    bool omitSite = false;
    bool omitAdzone = false;
    bool leadingList = false;
    bool emptyAdzones = false;  // an account without sites: "webList":[], "otherAdzones":null

    bool prettyReplies = false;  // every service's reply as prettyJson renders it

    // Item-search service: one setting per item id, "*" for every other id.
    std::map<std::string, ItemSetting> items;

    // Link service.
    bool linkOk = true;
    LinkShape linkShape = LinkShape::Pair;
    std::optional<std::string> eliteUrl;  // raw; absent: a link that echoes the values received
    TokenShape tokens = TokenShape::Item;

    // Pages, UTF-8 bodies served as given.
    std::string noticeBody;
    std::map<std::string, std::string> pages;   // path -> body
    std::optional<std::string> redirectTarget;  // Location of /moved; absent: the other host name
    // Short links "/h.CODE" -> where their page hands off: a path of the simulator or a whole
    // address (of any scheme). A short link not listed is dead.
    std::map<std::string, std::string> shortLinks;

    // Every reply.
    int delayMs = 0;
    bool keepAlive = true;
    std::vector<std::string> replyCookies;  // extra Set-Cookie values of the service replies
    std::vector<Fault> faults;

    static Settings defaults();
    const ItemSetting& item(const std::string& itemId) const;
};

// text as a JSON string value, quotes included; bytes above 0x7F pass unchanged (UTF-8).
std::string jsonString(std::string_view text);

// Applies one control query. Returns an empty text, or what was wrong (nothing is changed then).
// A whole number from -1 to a day's milliseconds.
bool parseNumber(const std::string& text, int& number);

std::string applyControl(Settings& settings, std::string_view query, bool& clearLog);

}  // namespace platform_sim
