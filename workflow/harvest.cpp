#include "workflow/harvest.h"

#include "http/request_engine.h"
#include "util/cookie_store.h"
#include "util/text.h"
#include "util/timestamp.h"
#include "workflow/query_value.h"

namespace quillane {
namespace {

constexpr const char* kIdsCaptionPrefix = "请核对下面是否提取两组数字,否则放弃软件：";
constexpr const char* kSuccessMessage =
    "关键信息获取成功！如果您正在使用ie浏览器，可以用home键获取鼠标对应的淘宝商品网页获取返利信息！";
constexpr const char* kFailureMessage = "关键信息获取失败！请在IE登录阿里妈妈网页，再点击此按钮！";
constexpr int kCompactHeight = 236;

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
    return "http://" + deployment.apiHost + "/common/adzone/newSelfAdzone2.json?tag=29&t=" +
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

}  // namespace

void harvestSessionKeys(WorkflowContext& context) {
    SessionState& session = context.session;
    session.storeCookieText = readStoreCookies(context.deployment.cookieDomain);
    // A store text that begins with the token entry is a logged-in session as well.
    if (session.storeCookieText.find("_tb_token_") == std::string::npos) {
        context.view.showOwnedMessage(kFailureMessage);
        return;
    }

    // Work on copies: a failed harvest must leave an earlier session in force.
    const std::string token = formTokenOf(session.storeCookieText);
    HttpRequestOptions request;
    request.url = adzoneQueryUrl(context.deployment, token);
    request.cookies = session.storeCookieText;
    const std::string reply = httpRequest(request);
    session.adzoneReply = reply;
    const AdzoneIds ids = adzoneIdsOf(reply);

    context.view.setStatusText(kIdsCaptionPrefix + ids.siteId + "|" + ids.adzoneId);
    if (ids.siteId.empty() || ids.adzoneId.empty()) {
        context.view.showOwnedMessage(kFailureMessage);
        return;
    }

    // A successful harvest starts the session afresh from the store's cookies (and what this
    // reply set), dropping whatever earlier replies had merged in.
    session.sessionCookies = *request.cookies;
    session.formToken = token;
    session.siteId = ids.siteId;
    session.adzoneId = ids.adzoneId;
    context.view.hideBrowser();
    context.view.setOuterHeight(kCompactHeight);
    context.view.showOwnedMessage(kSuccessMessage);
}

}  // namespace quillane
