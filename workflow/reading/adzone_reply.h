#pragma once
// Reading the member's site id and ad-zone id out of an ad-zone service reply.
#include <string>
#include <string_view>

namespace quillane {

struct AdzoneIds {
    std::string siteId;    // digits; empty when the reply gave none
    std::string adzoneId;  // digits; empty when the reply gave none
};

// The first site of the list "otherAdzones" of the reply's "data", and the first ad zone of
// that site's own list "sub": other lists of the reply (a guide site's) never pair the
// member's site with somebody else's ad zone. An id may come as a number or a string of
// digits. utf8 is the reply as it arrived.
AdzoneIds readAdzoneReply(std::string_view utf8);

}  // namespace quillane
