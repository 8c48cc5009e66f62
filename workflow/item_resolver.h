#pragma once
// Turning a member's text into the item it names: the first item reference of the text, and
// for an address that names no id, the page it leads to, followed hop by hop.
#include <string>
#include <string_view>

namespace quillane {

// Requests made for one address at most: a short link takes one, an affiliate link three.
inline constexpr int kMaxResolveRequests = 5;

struct ItemOfText {
    std::string itemId;         // empty when the text leads to no item
    bool onlyTaoToken = false;  // no reference, but a 淘口令 that only the marketplace can read
};

ItemOfText findItemOfText(std::string_view text);

// The item an address leads to, asked for one request at a time, each redirect and hand-off
// judged before it is followed. Each request is a plain page fetch: the platform's session
// never leaves for these hosts. Empty when no item is found within kMaxResolveRequests
// requests, or the way leads anywhere but to an http or https address.
std::string resolveItemAddress(std::string_view address);

}  // namespace quillane
