#pragma once
// The publisher's notice, read from the publisher's web page at every start and shown to the
// member in a Yes/No box whose Yes opens the publisher's site.
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// The notice a page carries: the text between the first "公告++" and the next "++" (empty when
// that closing "++" is missing). Absent when the page carries no notice. page is GBK.
std::optional<std::string> noticeOfPage(std::string_view page);

// Fetches the notice page and shows its notice, if any. The fetch is bounded by the request
// engine's time-outs, so a dead notice host delays the start by at most that.
void showPublisherNotice();

}  // namespace quillane
