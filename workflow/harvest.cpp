#include "workflow/harvest.h"

#include "http/request_engine.h"
#include "http/secure_connection.h"
#include "util/cookie_store.h"
#include "util/text/text.h"
#include "util/timestamp.h"
#include "workflow/reading/login_expiry.h"
#include "workflow/member_texts.h"
#include "workflow/reading/query_value.h"
#include "workflow/service_paths.h"

namespace quillane {
namespace {

constexpr std::string_view kSiteIdStart = "otherAdzones\":[{\"id\":\"";
constexpr std::string_view kSiteIdEnd = "\",\"sub\":[{\"id\":";
constexpr std::string_view kAdzoneIdEnd = ",\"name\":";

// The value of the first _tb_token_ entry; when it is the last entry, up to the end of the
// text (a cookie text has no ";" after its last entry).
std::string formTokenOf(const std::string& cookies) {
    return textBetween(cookies + ";", "_tb_token_=", ";");
}

std::string adzoneQueryUrl(const Deployment& deployment, const std::string& token) {
    // The query ends in one blank after utf-8, as the platform's own pages send it; how the
    // blank reaches the wire is the engine's and the system library's business.
    return apiOrigin(deployment) + kAdzonePath + "?tag=29&t=" +
           queryValue(millisecondTimestamp()) + "&_tb_token_=" + queryValue(token) + "&_input_charset=utf-8 ";
}

struct AdzoneIds {
    std::string siteId;
    std::string adzoneId;
};

// The first site of the list otherAdzones and the first ad zone of that site's own sub list.
// The ad-zone search starts at the site, so that a list of other ad zones earlier in the
// reply cannot pair the member's site with somebody else's ad zone.
AdzoneIds adzoneIdsOf(const std::string& reply) {
    AdzoneIds ids;
    ids.siteId = textBetween(reply, kSiteIdStart, kSiteIdEnd);
    const std::size_t siteAt = reply.find(kSiteIdStart);
    const int searchFrom = siteAt == std::string::npos ? 1 : static_cast<int>(siteAt) + 1;
    ids.adzoneId = textBetween(reply, kSiteIdEnd, kAdzoneIdEnd, searchFrom);
    return ids;
}

// Asks the ad-zone service with the session's cookies. Only a harvest that found both ids
// replaces the session; a failed one leaves the earlier session in force.
HarvestResult harvestWithCookies(const SessionState& earlier, const std::string& cookies,
                                 const std::string& storeText, const Deployment& deployment) {
    HarvestResult result;
    result.session = earlier;
    SessionState& session = result.session;
    result.messageText = kHarvestFailure;
    const std::string token = formTokenOf(cookies);
    HttpRequestOptions request;
    request.url = adzoneQueryUrl(deployment, token);
    request.cookies = cookies;
    const std::string reply = httpRequest(request);
    // The earlier session stays whole: the member is told what to check, not to log in again.
    if (isUnsafeConnectionError(request.systemError)) {
        result.outcome = HarvestOutcome::UnsafeConnection;
        result.messageText = kUnsafeConnection;
        return result;
    }
    result.adzoneReply = reply;
    if (isLoginExpiredReply(reply)) {
        result.outcome = HarvestOutcome::LoginExpired;
        return result;
    }
    const AdzoneIds ids = adzoneIdsOf(reply);

    result.idsText = kIdsPrefix + ids.siteId + "|" + ids.adzoneId;
    if (ids.siteId.empty() || ids.adzoneId.empty()) {
        result.outcome = HarvestOutcome::NoIds;
        return result;
    }

    // A successful harvest starts the session afresh from its cookies (and what this reply
    // set), dropping whatever earlier replies had merged in.
    session.sessionCookies = *request.cookies;
    session.harvestedStoreText = storeText;
    session.formToken = token;
    session.siteId = ids.siteId;
    session.adzoneId = ids.adzoneId;
    result.outcome = HarvestOutcome::Harvested;
    result.messageText = kHarvestSuccess;
    return result;
}

}  // namespace

HarvestResult harvestSessionKeys(const SessionState& earlier, const Deployment& deployment) {
    const std::string storeText = readStoreCookies(deployment.cookieDomain);
    // A store text that begins with the token entry is a logged-in session as well.
    if (storeText.find("_tb_token_") == std::string::npos) {
        HarvestResult result;
        result.session = earlier;
        result.messageText = kHarvestFailure;
        result.outcome = HarvestOutcome::NotLoggedIn;
        return result;
    }
    return harvestWithCookies(earlier, storeText, storeText, deployment);
}

HarvestResult harvestPastedSession(const SessionState& earlier, const std::string& cookies,
                                   const Deployment& deployment) {
    // The store's login of this moment is what the pasted session stands beside: when the
    // member later logs in there anew, an expired request takes that newer login.
    return harvestWithCookies(earlier, cookies, readStoreCookies(deployment.cookieDomain), deployment);
}

}  // namespace quillane
