#pragma once
// Reading the member's link out of a link-service reply.
#include <optional>
#include <string>
#include <string_view>

#include "util/text/readable_title.h"

namespace quillane {

// The 淘口令 of a link-service reply: the token of the member's link to the item, and the
// token of the coupon's page under the member's pid (empty for an item without a coupon).
// Each is read as a title is (escapes undone) and kept only when it is one 淘口令 and nothing
// else; empty otherwise.
struct ShareTokens {
    std::string item;
    std::string coupon;

    bool operator==(const ShareTokens&) const = default;
};

ShareTokens shareTokensOfReply(std::string_view reply, CodePointToGbk toGbk);

// The token a buyer should get: the coupon's when there is one, so that the buyer gets the
// discount and the member still the commission; empty when the reply had none.
const std::string& shareToken(const ShareTokens& tokens);

// The link of a link-service reply (GBK text): the string value of "eliteUrl", or failing
// that of "shortLinkUrl", or failing that of "clickUrl", the first of them that is a link.
// JSON escapes are undone (a \u escape of a character beyond ASCII becomes its UTF-8 bytes,
// percent-encoded, as a browser sends it); a value that begins with "//" gets "https:". Only
// an http or https address with something after the scheme is a link; nullopt when the reply
// holds none.
std::optional<std::string> linkOfReply(std::string_view reply);

}  // namespace quillane
