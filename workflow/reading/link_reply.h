#pragma once
// Reading the member's link out of a link-service reply.
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// The link of a link-service reply (GBK text): the string value of "eliteUrl", or failing
// that of "shortLinkUrl", or failing that of "clickUrl", the first of them that is a link.
// JSON escapes are undone (a \u escape of a character beyond ASCII becomes its UTF-8 bytes,
// percent-encoded, as a browser sends it); a value that begins with "//" gets "https:". Only
// an http or https address with something after the scheme is a link; nullopt when the reply
// holds none.
std::optional<std::string> linkOfReply(std::string_view reply);

}  // namespace quillane
