#include "workflow/affiliate_link.h"

#include "util/text.h"
#include "util/timestamp.h"
#include "workflow/platform_request.h"
#include "workflow/query_value.h"

namespace quillane {
namespace {

constexpr const char* kCopiedMessage = "返利网址已经复制成功，可以直接粘贴！";

std::string linkQueryUrl(const Deployment& deployment, const SessionState& session) {
    return "http://" + deployment.apiHost + "/common/code/getAuctionCode.json?auctionid=" +
           queryValue(session.itemId) + "&adzoneid=" + queryValue(session.adzoneId) +
           "&siteid=" + queryValue(session.siteId) + "&t=" + queryValue(millisecondTimestamp()) +
           "&_tb_token_=" + queryValue(session.formToken) + "&_input_charset=utf-8";
}

}  // namespace

void makeAffiliateLink(WorkflowContext& context) {
    SessionState& session = context.session;
    const std::string reply = requestWithSession(session, linkQueryUrl(context.deployment, session));
    if (!isSuccessfulReply(reply)) {
        return;
    }
    // The eliteUrl value, taken raw; it must be followed directly by clickUrl.
    session.affiliateLink = textBetween(reply, "eliteUrl\":\"", "\",\"clickUrl");
    context.view.setClipboardText(session.affiliateLink);
    context.view.setStatusText(kCopiedMessage);
}

}  // namespace quillane
