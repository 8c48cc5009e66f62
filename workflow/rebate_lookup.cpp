#include "workflow/rebate_lookup.h"

#include "util/text/cookies.h"
#include "util/text/readable_title.h"
#include "util/text/text.h"
#include "util/timestamp.h"
#include "util/wide_text.h"
#include "workflow/item_resolver.h"
#include "workflow/member_texts.h"
#include "workflow/reading/query_value.h"
#include "workflow/service_paths.h"

namespace quillane {
namespace {

std::string searchQueryUrl(const Deployment& deployment, const SessionState& session, const std::string& itemId) {
    // q names the item's page on the item host, percent-encoded as the platform's own search
    // form sends it.
    return apiOrigin(deployment) + kSearchPath + "?spm=a2320.7388781.a214tr8.d006.2u5wi7&q=" +
           queryValue("http://" + deployment.itemHost + "/item.htm?id=") + queryValue(itemId) +
           "&t=" + queryValue(millisecondTimestamp()) + "&_tb_token_=" + queryValue(session.formToken) +
           "&_input_charset=utf-8";
}

// The link request ran beside the search, each with its own copy of the session: the search's
// session takes what the link's reply renewed. A newer login harvested by one of them is the
// session from then on; cookies of the login it replaced are not mixed into it.
void takeLinkSession(SessionState& session, LoginCheck& login, const LinkResult& link) {
    if (link.login.reharvested && !login.reharvested) {
        session = link.session;
        login.reharvested = true;
    } else if (!login.reharvested) {
        std::string renewed = link.session.sessionCookies;
        mergeCookies(session.sessionCookies, renewed);
    }
}

}  // namespace

LookupResult lookupRebate(std::string_view text, LookupForm form, const SessionState& session,
                          const Deployment& deployment, ParallelWork& parallel) {
    LookupResult result;
    result.session = session;
    const ItemOfText item = findItemOfText(text);
    // Set even when the text names no item, so that a later link can never be made for the
    // item of an earlier text.
    result.item.id = item.itemId;
    if (item.onlyTaoToken) {
        result.outcome = LookupOutcome::OnlyTaoToken;
        result.statusText = kTaoTokenOnly;
        return result;
    }

    // Home needs the search and the link, and both need only the id: they go out together,
    // so that Home costs one round trip. The edit box asks for the link apart, and a text
    // without an id gets no link request.
    std::string reply;
    std::optional<LinkResult> link;
    SharedRelogin relogin;
    const auto search = [&] {
        reply = requestKeepingLogin(
            result.session, deployment,
            [&](const SessionState& current) { return searchQueryUrl(deployment, current, item.itemId); }, result.login,
            &relogin);
    };
    if (form == LookupForm::HotKey && !item.itemId.empty()) {
        const SessionState linkSession = result.session;
        parallel.forEach(2, 2, [&](std::size_t part) {
            if (part == 0) {
                search();
            } else {
                link = makeAffiliateLink(linkSession, item.itemId, deployment, &relogin);
            }
        });
        takeLinkSession(result.session, result.login, *link);
    } else {
        search();
    }
    if (result.login.expired || result.login.unsafeConnection) {
        // Home's answer is its window; the edit box's the status label.
        (form == LookupForm::HotKey ? result.resultMessage : result.statusText) =
            result.login.unsafeConnection ? kUnsafeConnection : kLoginExpired;
        return result;
    }
    if (!isSuccessfulReply(reply)) {
        result.statusText = kLookupFailure;
        return result;
    }

    const std::string title = readableTitle(textBetween(reply, "title\":", ",\""), codePointToGbk);
    const std::string commission = textBetween(reply, ",\"calCommission\":", ",");
    result.item.offer = readItemOffer(reply, title, codePointToGbk);
    if (commission.empty()) {
        result.outcome = LookupOutcome::NoCommission;
        result.statusText = kNoCommission;
        return result;
    }
    result.outcome = LookupOutcome::Found;
    if (form == LookupForm::EditBox) {
        result.statusText = title + kRebateIs + commission + kYuan;
        return result;
    }
    if (!link) {
        link.emplace();  // no id, no link asked for: nothing was made
    }
    // Only a link made for an item that was found is kept.
    result.link = std::move(link);
    result.link->session = result.session;
    result.login.expired = result.link->login.expired;
    result.login.unsafeConnection = result.link->login.unsafeConnection;
    result.rebateSentence = title + kRebateIs + commission + kYuan;
    // The window never claims a link that was not made for this item.
    result.resultMessage = result.link->made                     ? title + kRebateIs + commission + kYuanAndCopied
                           : result.link->login.expired           ? result.rebateSentence + kLoginExpired
                           : result.link->login.unsafeConnection ? result.rebateSentence + kUnsafeConnection
                                                                  : title + kRebateIs + commission + kYuanAndLinkFailed;
    return result;
}

}  // namespace quillane
