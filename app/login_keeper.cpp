#include "app/login_keeper.h"

#include "util/text/cookies.h"

namespace quillane {

void LoginKeeper::adopt(const SessionState& after, std::uint64_t epochAtStart, bool newLogin) {
    if (newLogin) {
        login_ = after;
        ++epoch_;
        links_.clear();
        return;
    }
    if (epochAtStart != epoch_) {
        return;  // the job ran with a login that is gone: nothing of it joins the newer one
    }
    std::string renewed = after.sessionCookies;
    mergeCookies(login_.sessionCookies, renewed);
}

void LoginKeeper::keepLink(const std::string& itemId, const KeptLink& link, std::uint64_t epochAtStart) {
    if (!itemId.empty() && epochAtStart == epoch_) {
        links_[itemId] = link;
    }
}

void LoginKeeper::takeLinkResult(const LinkResult& result, std::uint64_t epochAtStart) {
    adopt(result.session, epochAtStart, result.login.reharvested);
    if (result.made) {
        // A link made with the login its own run harvested belongs to that login.
        keepLink(result.itemId, {result.link, result.tokens}, result.login.reharvested ? epoch_ : epochAtStart);
    }
}

const KeptLink* LoginKeeper::link(const std::string& itemId) const {
    const auto kept = links_.find(itemId);
    return kept == links_.end() ? nullptr : &kept->second;
}

}  // namespace quillane
