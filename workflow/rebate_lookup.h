#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "workflow/affiliate_link.h"
#include "workflow/deployment.h"
#include "workflow/parallel_work.h"
#include "workflow/reading/share_text.h"
#include "workflow/session_state.h"

namespace quillane {

// Where a lookup's text comes from, and so what follows a found item.
enum class LookupForm {
    EditBox,  // the item edit box's content: the result is a sentence for the status label
    HotKey,   // the captured page address: the link is made and the result window shown
};

enum class LookupOutcome {
    Failed,
    OnlyTaoToken,  // the text names no item but a 淘口令, which only the marketplace can read
    NoCommission,
    Found,
};

// The item a lookup named, as the search reply described it: a share text is composed from
// this offer and the 淘口令 of a link made for this same id, never from another item's.
struct LookedUpItem {
    std::string id;  // empty when the text named no item
    ItemOffer offer;
};

struct LookupResult {
    LookupOutcome outcome = LookupOutcome::Failed;
    LookedUpItem item;
    // For the status label: the failure, the missing commission, or (edit-box form) the
    // title's sentence. Empty when the label is not the lookup's to change.
    std::string statusText;
    // Hot-key form, item found: the link request made for it, and the result window's sentence.
    // Its button opens a link only when one was made for this item.
    std::optional<LinkResult> link;
    std::string resultMessage;
    std::string rebateSentence;  // the title and commission, for a sentence the program ends itself
    LoginCheck login;            // of the search and the link request alike
    SessionState session;  // the login afterwards, with the reply's cookies (and the link's)
};

// Works out the item id from the text, asks the item-search service for the item and reports
// its title and commission. In the hot-key form the link request goes out beside the search
// (through parallel); its link counts only when the search found the item.
LookupResult lookupRebate(std::string_view text, LookupForm form, const SessionState& session,
                          const Deployment& deployment, ParallelWork& parallel = callingThreadOnly());

}  // namespace quillane
