#include "sim/platform_sim/marketplace_links.h"

#include "sim/platform_sim/defaults.h"

namespace platform_sim {
namespace {

// Where a landing page says the member's click came from, as the real one does.
constexpr char kLandingQuery[] = "&skuId=4901234567890&ali_trackid=2:mm_101_202_303:1700000000_211";

Reply redirect(const std::string& location) {
    Reply reply = htmlReply(302, "<html><body>302 Found</body></html>");
    reply.extraHeaders.push_back("Location: " + location);
    return reply;
}

// The short-link page: no redirect, a script that sends the browser on, as the real one is.
// A link the simulator does not know is dead: its status says so and it hands off nowhere.
Reply handOffPage(const Request& request, const Settings& settings, const std::string& self) {
    const auto found = settings.shortLinks.find(request.path);
    std::string target;
    if (found != settings.shortLinks.end()) {
        target = found->second.starts_with("/") ? self + found->second : found->second;
    }
    const std::string code = request.path.substr(1);
    return htmlReply(200, utf8(u8"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>淘宝网 - 淘！我喜欢</title>"
                          u8"</head><body><script>\nvar status = \"") +
                         (target.empty() ? "false" : "true") + "\";\nvar extraData = {\"shortName\":\"" + code +
                         utf8(u8"\",\"title\":\"CONVERSE 匡威 经典款 帆布鞋\"};\nvar url = '") + target +
                         "';\nvar invalidUrl = \"" + self + "/scanError.htm\";\n</script></body></html>");
}

// The item an affiliate link stands for: the last run of digits of its e value, which the
// real service keeps encrypted.
std::string clickedItem(const Request& request) {
    const std::string e = percentDecode(queryValue(request.query, "e").value_or(""));
    const std::size_t last = e.find_last_of("0123456789");
    if (last == std::string::npos) {
        return {};
    }
    const std::size_t first = e.find_last_not_of("0123456789", last);
    return e.substr(first == std::string::npos ? 0 : first + 1, last - (first == std::string::npos ? 0 : first + 1) + 1);
}

Reply affiliateLink(const Request& request, const std::string& self) {
    // Only a browser that ran the jump page's script is sent on to the item.
    const std::string referer = request.header("Referer").value_or("");
    if (referer.starts_with(self + "/t_js?")) {
        const std::string itemId = clickedItem(request);
        if (itemId.empty()) {
            return htmlReply(404, "<html><body>link expired</body></html>");
        }
        return redirect(self + "/item.htm?spm=a220m.1000858.1000725.1&id=" + itemId + kLandingQuery);
    }
    const std::string again = self + "/t?" + request.query + "&ref=&et=Xq3Pd8Lk";
    return redirect(self + "/t_js?tu=" + percentEncode(again));
}

// The jump page names the link again, HTML-escaped, for its script to follow.
Reply jumpPage(const Request& request) {
    const std::string address = percentDecode(queryValue(request.query, "tu").value_or(""));
    std::string escaped;
    for (const char c : address) {
        escaped += c == '&' ? std::string("&amp;") : std::string(1, c);
    }
    return htmlReply(200, "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><script>\n"
                     "var real_jump_address = '" + escaped + "';\n"
                     "var redirect = function(){ location.replace(real_jump_address); };\n"
                     "</script></head><body onload=\"redirect()\"></body></html>");
}

}  // namespace

std::optional<Reply> marketplaceLinkReply(const Request& request, const Settings& settings, int port) {
    const std::string self = otherHostAddress(port);
    if (request.path.starts_with("/h.")) {
        return handOffPage(request, settings, self);
    }
    if (request.path == "/t") {
        return affiliateLink(request, self);
    }
    if (request.path == "/t_js") {
        return jumpPage(request);
    }
    return std::nullopt;
}

}  // namespace platform_sim
