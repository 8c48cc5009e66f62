#include "workflow/item_resolver.h"

#include <vector>

#include "http/parsing/reply_headers.h"
#include "http/request_engine.h"
#include "http/parsing/request_headers.h"
#include "http/parsing/url.h"
#include "util/text/ascii.h"
#include "util/text/text.h"
#include "workflow/reading/hand_off.h"
#include "workflow/reading/item_reference.h"

namespace quillane {
namespace {

// What the page at the address leads to next: an address (with the Referer it is to be asked
// with), or the item itself.
struct Step {
    std::string itemId;
    std::string next;
    std::string referer;
};

Step requestStep(const std::string& address, const std::string& referer) {
    HttpRequestOptions request;
    request.url = address;
    request.singleRequest = true;
    if (!referer.empty()) {
        request.headers = "Referer: " + referer;
    }
    const std::string body = httpRequest(request);
    Step step;
    if (const std::string location = redirectLocation(request.rawHeaders); !location.empty()) {
        if (!namesOtherScheme(location)) {
            step.next = resolveLocation(address, location);
        }
        return step;
    }
    // The item page names its item in an empty div's itemid attribute.
    step.itemId = textBetween(body, "itemid=\"", "\"></div>");
    if (step.itemId.empty()) {
        const std::string handOff = handOffAddress(body);
        if (isWebAddress(handOff)) {
            // The affiliate service's jump page lets its address be asked for only from itself.
            step.next = handOff;
            step.referer = address;
        }
    }
    return step;
}

}  // namespace

std::string resolveItemAddress(std::string_view address) {
    std::string current(address);
    std::string referer;
    for (int sent = 0; sent < kMaxResolveRequests; ++sent) {
        Step step = requestStep(current, referer);
        if (!step.itemId.empty()) {
            return step.itemId;
        }
        // Where a page leads is read like a member's text: an item page's address names its
        // id, and is not fetched.
        const std::vector<ItemReference> next = readItemReferences(step.next);
        if (next.empty()) {
            return {};
        }
        if (next.front().kind == ItemReference::Kind::ItemId) {
            return next.front().value;
        }
        current = next.front().value;
        referer = std::move(step.referer);
    }
    return {};
}

ItemOfText findItemOfText(std::string_view text) {
    const std::vector<ItemReference> references = readItemReferences(text);
    if (references.empty()) {
        return {std::string(), holdsTaoToken(text)};
    }
    const ItemReference& first = references.front();
    return {first.kind == ItemReference::Kind::ItemId ? first.value : resolveItemAddress(first.value), false};
}

}  // namespace quillane
