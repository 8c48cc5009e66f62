#include "app/box_flow.h"

#include <utility>

#include "app/result_rendering.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"
#include "workflow/reading/batch_text.h"
#include "workflow/reading/pasted_session.h"

namespace quillane {
namespace {

// Lookups asked at once: a newer text starts at once beside an older one still waiting for
// the platform, but typing does not start one search a key.
constexpr int kMaxLookupsInFlight = 2;

}  // namespace

void BoxFlow::onTextChanged() {
    *newestGeneration_ = ++generation_;
    lookupRunning_ = false;
    lookupDeferred_ = false;  // an older text's lookup no longer holds a double-click
    // What the box named before is no longer what a waiting double-click meant.
    linkAfterLookup_ = false;
    stopAwaitingLink();
    lookUp();
}

// During a batch the member waits for its result: a second double-click would start a run
// that the batch's result then overwrites.
void BoxFlow::onDoubleClicked() {
    if (batch_.running()) {
        return;
    }
    if (lookupRunning_) {
        // The double-click is for what the box names now: its lookup comes first.
        linkAfterLookup_ = true;
        return;
    }
    if (batch_.startOfBox()) {
        return;
    }
    const std::string itemId = item_.id;
    if (const KeptLink* kept = keeper_.link(itemId); kept != nullptr) {
        LinkResult copied;
        copied.itemId = itemId;
        copied.made = true;
        copied.link = kept->link;
        copied.tokens = kept->tokens;
        copy(copied);
    } else if (linksInFlight_.count(itemId) != 0) {
        // The request already asked is waited for, not asked again; the member waits for it now.
        stopAwaitingLink();
        awaitedLink_ = itemId;
        awaitingAhead_ = true;
        status_.beginMemberWait();
    } else {
        startLink(itemId, true);
    }
}

void BoxFlow::stopAwaitingLink() {
    awaitedLink_.reset();
    if (std::exchange(awaitingAhead_, false)) {
        status_.endMemberWait();
    }
}

void BoxFlow::copy(const LinkResult& link) {
    // The offer is the box's item's own, as is the link: the share text names one item.
    copyLink(window_, status_, link, link.itemId == item_.id ? item_.offer : ItemOffer{});
}

void BoxFlow::startLink(const std::string& itemId, bool memberWaits) {
    if (memberWaits) {
        stopAwaitingLink();
        awaitedLink_ = itemId;
    }
    linksInFlight_.insert(itemId);
    const std::uint64_t epoch = keeper_.epoch();
    jobs_.start<LinkResult>(
        memberWaits ? Waiting::Member : Waiting::Background,
        [login = keeper_.login(), itemId] { return makeAffiliateLink(login, itemId, deployment()); },
        [this, epoch, itemId](LinkResult& result) {
            linksInFlight_.erase(itemId);
            result.itemId = itemId;  // an empty result of a failed job names its item too
            keeper_.takeLinkResult(result, epoch);
            if (awaitedLink_ != itemId) {
                return;  // asked ahead of a double-click: kept, or asked again at the double-click
            }
            stopAwaitingLink();
            copy(result);
        });
}

void BoxFlow::lookUp() {
    const std::string text = window_.itemText();
    const PastedSession pasted = readPastedSession(text);
    if (pasted.kind != PastedSession::Kind::NotASession) {
        // A session is as secret as a password: it does not stay on screen, taken or not.
        window_.clearItemText();
        if (pasted.kind == PastedSession::Kind::Session) {
            login_.harvestPasted(pasted.cookies);
        } else {
            status_.set(kPastedSessionIncomplete);
        }
        return;
    }
    if (const std::size_t count = readItemReferences(readingCopy(window_.itemWideText())).size(); count > 1) {
        status_.set(batchFoundText(count));
        return;
    }
    lookupRunning_ = true;
    if (lookupsInFlight_ >= kMaxLookupsInFlight) {
        // Typing makes a change a key: the newest text is looked up once one of these ends.
        lookupDeferred_ = true;
        return;
    }
    ++lookupsInFlight_;
    const std::uint64_t generation = generation_;
    const std::uint64_t epoch = keeper_.epoch();
    jobs_.start<LookupResult>(
        Waiting::Member,
        [text, login = keeper_.login(), newest = newestGeneration_, generation] {
            if (*newest != generation) {
                return LookupResult{};  // superseded before it began: dropped unasked
            }
            return lookupRebate(text, LookupForm::EditBox, login, deployment());
        },
        [this, generation, epoch](LookupResult& result) {
            --lookupsInFlight_;
            if (std::exchange(lookupDeferred_, false)) {
                lookUp();
            }
            if (generation != generation_) {
                return;  // the box changed meanwhile: the newer text's lookup speaks
            }
            lookupRunning_ = false;
            keeper_.adopt(result.session, epoch, result.login.reharvested);
            item_ = result.item;
            showLookup(result);
        });
}

void BoxFlow::showLookup(const LookupResult& result) {
    showLoginChange(window_, result.login);
    if (!result.statusText.empty()) {
        status_.set(result.statusText);
    }
    if (std::exchange(linkAfterLookup_, false)) {
        onDoubleClicked();
    } else if (result.outcome == LookupOutcome::Found && keeper_.link(item_.id) == nullptr &&
               linksInFlight_.count(item_.id) == 0) {
        // The member nearly always double-clicks next: the link is asked for now.
        startLink(item_.id, false);
    }
}

}  // namespace quillane
