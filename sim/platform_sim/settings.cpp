#include "sim/platform_sim/settings.h"

#include <cstdio>
#include <cstdlib>

#include "sim/platform_sim/defaults.h"
#include "sim/platform_sim/http_wire.h"

namespace platform_sim {
namespace {

const char8_t kDefaultNotice[] =
    u8"<html><head><meta charset=\"utf-8\"><title>Quillane</title></head><body>暂无新消息</body></html>";

bool parseSwitch(const std::string& text, bool& value) {
    if (text == "1") {
        value = true;
    } else if (text == "0") {
        value = false;
    } else {
        return false;
    }
    return true;
}

bool parseFault(const std::string& text, Fault& fault) {
    const size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (kind == "status") {
        fault.kind = Fault::Kind::Status;
        return parseNumber(argument, fault.value) && fault.value >= 100 && fault.value <= 599;
    }
    if (kind == "delay") {
        fault.kind = Fault::Kind::Delay;
        return parseNumber(argument, fault.value) && fault.value >= 0;
    }
    if (kind == "cut") {
        fault.kind = argument == "start" ? Fault::Kind::CutAtStart : Fault::Kind::CutMidReply;
        return argument == "start" || argument == "mid";
    }
    if (kind == "reset") {
        fault.kind = argument == "head" ? Fault::Kind::ResetInHead : Fault::Kind::ResetInBody;
        return argument == "head" || argument == "body";
    }
    static const std::pair<const char*, Fault::Kind> kPlain[] = {
        {"nologin", Fault::Kind::NotLoggedIn},       {"silent", Fault::Kind::Silent},
        {"staletoken", Fault::Kind::StaleToken},
        {"badstatus", Fault::Kind::BadStatusLine},   {"badtext", Fault::Kind::BadText},
        {"cookiebreaks", Fault::Kind::CookieLineBreaks}, {"loop", Fault::Kind::MovedLoop},
    };
    for (const auto& [name, plainKind] : kPlain) {
        if (kind == name) {
            fault.kind = plainKind;
            return argument.empty();
        }
    }
    static const std::pair<const char*, Fault::Kind> kSized[] = {
        {"trickle", Fault::Kind::Trickle}, {"header", Fault::Kind::HeaderBytes},
        {"cookies", Fault::Kind::Cookies}, {"body", Fault::Kind::BodyBytes},
    };
    for (const auto& [name, sizedKind] : kSized) {
        if (kind == name) {
            fault.kind = sizedKind;
            return parseNumber(argument, fault.value) && fault.value > 0;
        }
    }
    return false;
}

}  // namespace

std::string Fault::describe() const {
    switch (kind) {
        case Kind::Status: return "status:" + std::to_string(value);
        case Kind::CutAtStart: return "cut:start";
        case Kind::CutMidReply: return "cut:mid";
        case Kind::Delay: return "delay:" + std::to_string(value);
        case Kind::NotLoggedIn: return "nologin";
        case Kind::ResetInHead: return "reset:head";
        case Kind::ResetInBody: return "reset:body";
        case Kind::Silent: return "silent";
        case Kind::Trickle: return "trickle:" + std::to_string(value);
        case Kind::HeaderBytes: return "header:" + std::to_string(value);
        case Kind::Cookies: return "cookies:" + std::to_string(value);
        case Kind::BodyBytes: return "body:" + std::to_string(value);
        case Kind::BadStatusLine: return "badstatus";
        case Kind::BadText: return "badtext";
        case Kind::CookieLineBreaks: return "cookiebreaks";
        case Kind::MovedLoop: return "loop";
        case Kind::StaleToken: return "staletoken";
    }
    return {};
}

Settings Settings::defaults() {
    Settings settings;
    settings.token = kDefaultToken;
    settings.sessionValue = kSessionCookieValue;
    settings.siteId = kDefaultSiteId;
    settings.adzoneId = kDefaultAdzoneId;
    settings.items["*"] =
        ItemSetting{reinterpret_cast<const char*>(kDefaultTitleJson), std::string(kDefaultCommission), true};
    settings.noticeBody = reinterpret_cast<const char*>(kDefaultNotice);
    settings.shortLinks[kDefaultShortLink] = kDefaultShortLinkTarget;
    return settings;
}

const ItemSetting& Settings::item(const std::string& itemId) const {
    const auto found = items.find(itemId);
    return found != items.end() ? found->second : items.at("*");
}

std::string jsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

bool parseNumber(const std::string& text, int& number) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < -1 || value > 24 * 3600 * 1000) {
        return false;
    }
    number = static_cast<int>(value);
    return true;
}

std::string applyControl(Settings& settings, std::string_view query, bool& clearLog) {
    const auto pairs = queryPairs(query);
    Settings changed = settings;
    clearLog = false;

    // Item keys name the item of this request's "item" key, wherever it stands; "*" otherwise.
    std::string itemId = "*";
    bool replyCookiesGiven = false;
    std::optional<std::string> pagePath;
    std::optional<std::string> shortLinkPath;
    for (const auto& [key, value] : pairs) {
        if (key == "item") {
            itemId = value;
        } else if (key == "page") {
            pagePath = value;
        } else if (key == "shortLink") {
            shortLinkPath = value;
        }
    }
    auto itemSetting = [&]() -> ItemSetting& {
        if (!changed.items.count(itemId)) {
            changed.items[itemId] = changed.items.at("*");
        }
        return changed.items[itemId];
    };

    for (const auto& [key, value] : pairs) {
        bool valid = true;
        if (key == "reset") {
            changed = Settings::defaults();
        } else if (key == "clearLog") {
            clearLog = true;
        } else if (key == "session") {
            valid = value == "ok" || value == "expired";
            changed.sessionExpired = value == "expired";
        } else if (key == "token") {
            changed.token = value;
        } else if (key == "relogin") {
            // The member logs in again: the platform issues a new token and session cookie
            // (/login hands them out) and no longer accepts the old ones.
            valid = value == "1";
            ++changed.logins;
            char fresh[40];
            std::snprintf(fresh, sizeof fresh, "%08x%08x", 0xA11CE000u + changed.logins, changed.logins * 2654435761u);
            changed.sessionValue = fresh;
            changed.token = "f5" + std::string(fresh).substr(6, 10);
            changed.sessionExpired = false;
        } else if (key == "site") {
            changed.siteId = value;
        } else if (key == "zone") {
            changed.adzoneId = value;
        } else if (key == "omitSite") {
            valid = parseSwitch(value, changed.omitSite);
        } else if (key == "omitZone") {
            valid = parseSwitch(value, changed.omitAdzone);
        } else if (key == "leadingList") {
            valid = parseSwitch(value, changed.leadingList);
        } else if (key == "emptyAdzones") {
            valid = parseSwitch(value, changed.emptyAdzones);
        } else if (key == "pretty") {
            valid = parseSwitch(value, changed.prettyReplies);
        } else if (key == "item" || key == "page" || key == "shortLink") {
            // read above
        } else if (key == "title") {
            itemSetting().titleJson = jsonString(value);
        } else if (key == "titleJson") {
            itemSetting().titleJson = value;
        } else if (key == "commission") {
            itemSetting().commissionJson = value;
        } else if (key == "omitCommission") {
            bool omit = false;
            valid = parseSwitch(value, omit);
            if (omit) {
                itemSetting().commissionJson.reset();
            }
        } else if (key == "searchOk") {
            valid = parseSwitch(value, itemSetting().ok);
        } else if (key == "noResult") {
            bool noResult = false;
            valid = parseSwitch(value, noResult);
            itemSetting().found = !noResult;
        } else if (key == "zkPrice") {
            itemSetting().zkPriceJson = value;
        } else if (key == "coupon") {
            valid = parseSwitch(value, itemSetting().coupon);
        } else if (key == "tokens") {
            valid = value == "item" || value == "none" || value == "empty";
            changed.tokens = value == "none" ? TokenShape::None : value == "empty" ? TokenShape::Empty : TokenShape::Item;
        } else if (key == "linkOk") {
            valid = parseSwitch(value, changed.linkOk);
        } else if (key == "linkShape") {
            valid = value == "pair" || value == "none" || value == "between" || value == "newer";
            changed.linkShape = value == "none"      ? LinkShape::None
                                : value == "between" ? LinkShape::Between
                                : value == "newer"   ? LinkShape::Newer
                                                     : LinkShape::Pair;
        } else if (key == "eliteUrl") {
            changed.eliteUrl = value;
        } else if (key == "notice") {
            changed.noticeBody = value;
        } else if (key == "body") {
            valid = pagePath.has_value() && pagePath->starts_with("/");
            if (valid) {
                changed.pages[*pagePath] = value;
            }
        } else if (key == "to") {
            valid = shortLinkPath.has_value() && shortLinkPath->starts_with("/h.");
            if (valid) {
                changed.shortLinks[*shortLinkPath] = value;
            }
        } else if (key == "redirectTo") {
            changed.redirectTarget = value;
        } else if (key == "delay") {
            valid = parseNumber(value, changed.delayMs) && changed.delayMs >= 0;
        } else if (key == "keepAlive") {
            valid = parseSwitch(value, changed.keepAlive);
        } else if (key == "replyCookie") {
            if (!replyCookiesGiven) {
                changed.replyCookies.clear();
                replyCookiesGiven = true;
            }
            if (!value.empty()) {
                changed.replyCookies.push_back(value);
            }
        } else if (key == "fault") {
            if (value == "none") {
                changed.faults.clear();
            } else {
                Fault fault;
                valid = parseFault(value, fault);
                if (const auto target = queryValue(query, "on")) {
                    fault.target = percentDecode(*target);
                }
                if (const auto times = queryValue(query, "times")) {
                    valid = valid && parseNumber(percentDecode(*times), fault.remaining) && fault.remaining > 0;
                }
                changed.faults.push_back(fault);
            }
        } else if (key == "on" || key == "times") {
            // belong to "fault"
        } else {
            return "unknown key " + key;
        }
        if (!valid) {
            return "bad value for " + key + ": " + value;
        }
    }
    settings = std::move(changed);
    return {};
}

}  // namespace platform_sim
