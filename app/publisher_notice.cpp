#include "app/publisher_notice.h"

#include <optional>
#include <string>
#include <string_view>

#include "app/owned_message.h"
#include "app/window_system.h"
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
    return noticeOfPage(fetchPage(deployment().noticeUrl));
}

void showPublisherNotice(const std::string& notice) {
    // Yes and No, no icon; the caption is the program's usual one.
    OwnedMessageOptions box;
    box.style = MB_YESNO;
    if (showOwnedMessage(notice, box) == kYesButtonCode) {
        openInDefaultBrowser(deployment().publisherUrl);
    }
}

}  // namespace quillane
