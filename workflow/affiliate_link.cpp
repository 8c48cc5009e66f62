#include "workflow/affiliate_link.h"

#include "util/text.h"
#include "util/timestamp.h"
#include "workflow/platform_request.h"
#include "workflow/query_value.h"
#include "workflow/service_paths.h"

namespace quillane {
namespace {

std::string linkQueryUrl(const Deployment& deployment, const SessionState& session) {
    return "http://" + deployment.apiHost + kLinkPath + "?auctionid=" + queryValue(session.itemId) +
           "&adzoneid=" + queryValue(session.adzoneId) + "&siteid=" + queryValue(session.siteId) +
           "&t=" + queryValue(millisecondTimestamp()) + "&_tb_token_=" + queryValue(session.formToken) +
           "&_input_charset=utf-8";
}

}  // namespace

LinkResult makeAffiliateLink(const SessionState& session, const Deployment& deployment) {
    LinkResult result;
    result.session = session;
    const std::string reply = requestWithSession(result.session, linkQueryUrl(deployment, session));
    if (!isSuccessfulReply(reply)) {
        return result;
    }
    // The eliteUrl value, taken raw; it must be followed directly by clickUrl.
    result.made = true;
    result.link = textBetween(reply, "eliteUrl\":\"", "\",\"clickUrl");
    result.session.affiliateLink = result.link;
    return result;
}

}  // namespace quillane
