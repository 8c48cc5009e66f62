#include "workflow/rebate_lookup.h"

#include "http/request_engine.h"
#include "util/text.h"
#include "util/timestamp.h"
#include "workflow/affiliate_link.h"
#include "workflow/item_resolver.h"
#include "workflow/platform_request.h"
#include "workflow/query_value.h"

namespace quillane {
namespace {

constexpr const char* kRebateIs = "的返利是";
constexpr const char* kYuan = "元！";
constexpr const char* kYuanAndCopied = "元！已成功复制返利地址！";
constexpr const char* kFailureMessage = "采集信息失败，是否网页登陆并获取关键信息？";
// Shown when the platform knows the item but pays no commission on it.
constexpr const char* kNoCommissionMessage = "这件商品暂时没有返利，换一件商品试试吧！";
// Shown when the text names no item but a 淘口令, which only the marketplace can read.
constexpr const char* kTaoTokenMessage = "淘口令无法直接识别，请在淘宝里复制商品链接再粘贴！";

std::string searchQueryUrl(const Deployment& deployment, const SessionState& session) {
    // q names the item's page on the item host, percent-encoded as the platform's own search
    // form sends it.
    return "http://" + deployment.apiHost +
           "/pubauc/searchAuctionList.json?spm=a2320.7388781.a214tr8.d006.2u5wi7&q=" +
           queryValue("http://" + deployment.itemHost + "/item.htm?id=") + queryValue(session.itemId) +
           "&t=" + queryValue(millisecondTimestamp()) + "&_tb_token_=" + queryValue(session.formToken) +
           "&_input_charset=utf-8";
}

}  // namespace

void lookupRebate(WorkflowContext& context, LookupForm form) {
    SessionState& session = context.session;
    const std::string source = form == LookupForm::EditBox ? context.view.editBoxText() : session.capturedAddress;

    const ItemOfText item = findItemOfText(source);
    session.itemId = item.itemId;
    if (item.onlyTaoToken) {
        context.view.setStatusText(kTaoTokenMessage);
        return;
    }

    const std::string reply = requestWithSession(session, searchQueryUrl(context.deployment, session));
    if (!isSuccessfulReply(reply)) {
        context.view.setStatusText(kFailureMessage);
        return;
    }

    const std::string title = textBetween(reply, "title\":", ",\"");
    const std::string commission = textBetween(reply, ",\"calCommission\":", ",");
    if (commission.empty()) {
        context.view.setStatusText(kNoCommissionMessage);
        return;
    }
    if (form == LookupForm::EditBox) {
        context.view.setStatusText(title + kRebateIs + commission + kYuan);
        return;
    }
    makeAffiliateLink(context);
    session.resultMessage = title + kRebateIs + commission + kYuanAndCopied;
    context.view.showResultWindow();
}

}  // namespace quillane
