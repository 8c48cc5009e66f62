#pragma once
// The simulated platform's fixed values, shared with the tests that talk to it. Every
// simulator instance issues the same session by default, so that simulators started side by
// side on different ports agree about the cookies that the one cookie store holds for
// localhost (cookies are not told apart by port).
#include <string>

namespace platform_sim {

// The platform's services answer as "localhost" through the TLS front (the one name its
// certificate holds); every other host that the simulator stands for (item pages, short links,
// affiliate links, the notice) is handed out as this plain address, a host name of its own that
// the session cookies are never sent to.
inline std::string otherHostAddress(int port) {
    return "http://127.0.0.1:" + std::to_string(port);
}

inline constexpr char kSessionCookieName[] = "cookie2";  // the HttpOnly one
inline constexpr char kSessionCookieValue[] = "1c9b3e5f7a2d4c6e8b0a1f3d5c7e9a2b";
inline constexpr char kTokenCookieName[] = "_tb_token_";
inline constexpr char kDefaultToken[] = "e5a3f1b7d9c2";
inline constexpr char kTrackCookieName[] = "t";
inline constexpr char kTrackCookieValue[] = "8d0f2b4c6e1a3d5f7b9c0e2a4b6d8f10";

inline constexpr char kDefaultSiteId[] = "101";
inline constexpr char kDefaultAdzoneId[] = "202";
// The list that can be put before otherAdzones holds this site and ad zone.
inline constexpr char kLeadingSiteId[] = "901";
inline constexpr char kLeadingAdzoneId[] = "902";

// The title of an item that no test configured: Chinese text, markup and JSON escapes, as the
// platform sends them (the raw JSON value, quotes included).
inline constexpr char8_t kDefaultTitleJson[] = u8"\"<span class=H>连衣裙</span>夏季新款 \\\"显瘦\\\" 女装\\/碎花\"";
inline constexpr char kDefaultCommission[] = "3.58";

// The share text's short link, known to every simulator: its page hands off to the item's
// mobile page (a path of the simulator).
inline constexpr char kDefaultShortLink[] = "/h.5zxz3j69cN5go4k";
inline constexpr char kDefaultShortLinkItemId[] = "20496648200";
inline constexpr char kDefaultShortLinkTarget[] =
    "/i20496648200.htm?price=369&sourceType=item&suid=8be20505-0a16&un=133fdc82&short_name=h.5zxz3j";

// Marks a login page that really set the session.
inline constexpr char kLoginOkMarker[] = "<div id=\"login-ok\"></div>";

}  // namespace platform_sim
