#include "workflow/affiliate_link.h"

#include "util/timestamp.h"
#include "util/wide_text.h"
#include "workflow/member_texts.h"
#include "workflow/reading/link_reply.h"
#include "workflow/platform_request.h"
#include "workflow/reading/query_value.h"
#include "workflow/service_paths.h"

namespace quillane {
namespace {

std::string linkQueryUrl(const Deployment& deployment, const SessionState& session, const std::string& itemId) {
    return apiOrigin(deployment) + kLinkPath + "?auctionid=" + queryValue(itemId) +
           "&adzoneid=" + queryValue(session.adzoneId) + "&siteid=" + queryValue(session.siteId) +
           "&t=" + queryValue(millisecondTimestamp()) + "&_tb_token_=" + queryValue(session.formToken) +
           "&_input_charset=utf-8";
}

}  // namespace

LinkResult makeAffiliateLink(const SessionState& session, const std::string& itemId, const Deployment& deployment,
                             SharedRelogin* relogin) {
    LinkResult result;
    result.itemId = itemId;
    result.session = session;
    const std::string reply = requestKeepingLogin(
        result.session, deployment,
        [&](const SessionState& current) { return linkQueryUrl(deployment, current, itemId); },
        result.login, relogin);
    if (!isSuccessfulReply(reply)) {
        return result;
    }
    // Without a link nothing claims success, and the member's clipboard and kept links stay.
    const auto link = linkOfReply(reply);
    if (!link) {
        return result;
    }
    result.made = true;
    result.link = *link;
    result.tokens = shareTokensOfReply(reply, codePointToGbk);
    return result;
}

ClipboardCopy clipboardCopyOf(const LinkResult& link, const ItemOffer& offer, bool shareText) {
    if (!shareText) {
        return {link.link, CopiedForm::Link};
    }
    std::string text = quillane::shareText(offer, link.tokens);
    if (text.empty()) {
        return {link.link, CopiedForm::LinkWithoutToken};
    }
    return {std::move(text), CopiedForm::ShareText};
}

const char* copiedSentence(CopiedForm form) {
    switch (form) {
    case CopiedForm::ShareText:
        return kShareTextCopied;
    case CopiedForm::LinkWithoutToken:
        return kNoTaoTokenLinkCopied;
    case CopiedForm::Link:
        break;
    }
    return kLinkCopied;
}

}  // namespace quillane
