#include "workflow/rebate_lookup.h"

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

std::string searchQueryUrl(const Deployment& deployment, const SessionState& session) {
    // q names the item's page on the item host, percent-encoded as the platform's own search
    // form sends it.
    return apiOrigin(deployment) + kSearchPath + "?spm=a2320.7388781.a214tr8.d006.2u5wi7&q=" +
           queryValue("http://" + deployment.itemHost + "/item.htm?id=") + queryValue(session.itemId) +
           "&t=" + queryValue(millisecondTimestamp()) + "&_tb_token_=" + queryValue(session.formToken) +
           "&_input_charset=utf-8";
}

}  // namespace

LookupResult lookupRebate(std::string_view text, LookupForm form, const SessionState& session,
                          const Deployment& deployment) {
    LookupResult result;
    result.session = session;
    const ItemOfText item = findItemOfText(text);
    // Set even when the text names no item, so that a later link can never be made for the
    // item of an earlier text.
    result.session.itemId = item.itemId;
    result.session.offer = {};
    if (item.onlyTaoToken) {
        result.outcome = LookupOutcome::OnlyTaoToken;
        result.statusText = kTaoTokenOnly;
        return result;
    }

    const std::string reply = requestKeepingLogin(
        result.session, deployment, [&](const SessionState& current) { return searchQueryUrl(deployment, current); },
        result.login);
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
    result.session.offer = readItemOffer(reply, title, codePointToGbk);
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
    result.link = makeAffiliateLink(result.session, deployment);
    result.session = result.link->session;
    result.login.expired = result.link->login.expired;
    result.login.reharvested = result.login.reharvested || result.link->login.reharvested;
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
