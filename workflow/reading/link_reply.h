#pragma once
// Reading the member's link out of a link-service reply.
#include <optional>
#include <string>
#include <string_view>

#include "util/text/readable_title.h"

namespace quillane {

// The 淘口令 of a link-service reply: the token of the member's link to the item, and the
// token of the coupon's page under the member's pid (empty for an item without a coupon).
// Each is read as a title is (markup and entities out) and kept only when it is one 淘口令
// and nothing else; empty otherwise.
struct ShareTokens {
    std::string item;
    std::string coupon;

    bool operator==(const ShareTokens&) const = default;
};

// The token a buyer should get: the coupon's when there is one, so that the buyer gets the
// discount and the member still the commission; empty when the reply had none.
const std::string& shareToken(const ShareTokens& tokens);

struct LinkReading {
    bool successful = false;  // the envelope said yes
    // The string value of "eliteUrl" of the reply's "data", or failing that of
    // "shortLinkUrl", or failing that of "clickUrl": the first of them that is a link. A
    // character beyond ASCII becomes its UTF-8 bytes, percent-encoded, as a browser sends it;
    // a value that begins with "//" gets "https:". Only an http or https address with
    // something after the scheme and no blank or control character is a link.
    std::optional<std::string> link;
    ShareTokens tokens;  // "taoToken" and "couponLinkTaoToken" of "data", in GBK
};

// utf8 is the reply as it arrived.
LinkReading readLinkReply(std::string_view utf8, CodePointToGbk toGbk);

}  // namespace quillane
