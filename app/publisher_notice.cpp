#include "app/publisher_notice.h"

#include <optional>
#include <string>
#include <string_view>

#include "app/owned_message.h"
#include "app/window_system.h"
#include "http/parsing/request_headers.h"
#include "http/request_engine.h"
#include "util/text/text.h"
#include "workflow/deployment.h"

namespace quillane {
namespace {

constexpr std::string_view kNoticeStart = "公告++";
constexpr std::string_view kNoticeEnd = "++";
constexpr int kYesButtonCode = IDYES - 1;

// The text between the first "公告++" and the next "++" (empty when that closing "++" is
// missing); absent when the page carries no notice. A match anywhere counts, the very first
// byte included: a notice page may hold nothing but the notice.
std::optional<std::string> noticeOfPage(std::string_view page) {
    if (page.find(kNoticeStart) == std::string_view::npos) {
        return std::nullopt;
    }
    return textBetween(page, kNoticeStart, kNoticeEnd, 1, true);
}

}  // namespace

std::optional<std::string> fetchPublisherNotice() {
    const std::string& address = deployment().noticeUrl;
    if (address.empty()) {
        return std::nullopt;
    }
    // The text is shown only as it came over HTTPS, or from this machine: a plain page is
    // taken as it stands, without following it elsewhere. (Over HTTPS the engine never
    // follows a redirect into plain HTTP.)
    HttpRequestOptions request;
    request.url = address;
    request.singleRequest = !isHttpsAddress(address);
    return noticeOfPage(httpRequest(request));
}

void showPublisherNotice(const std::string& notice) {
    // Yes and No, no icon; the caption is the program's usual one.
    OwnedMessageOptions box;
    box.style = MB_YESNO;
    if (showOwnedMessage(notice, box) == kYesButtonCode && !deployment().publisherUrl.empty()) {
        openInDefaultBrowser(deployment().publisherUrl);
    }
}

}  // namespace quillane
