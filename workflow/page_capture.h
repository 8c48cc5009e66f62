#pragma once
#include <optional>
#include <string>

#include "workflow/capture/page_document.h"
#include "workflow/rebate_lookup.h"

namespace quillane {

// The page Home read last, kept from press to press: Internet Explorer's document (read
// again at its current address) or, when the newest capture came from another browser, the
// address that browser offered.
struct CapturedPage {
    PageDocument document;
    std::optional<std::string> browserAddress;
};

// The Home key: finds the Internet Explorer document under the mouse, or else the Chromium or
// Firefox page that the top-level window under it hosts (whatever that frame's class), reads
// its address and looks that item up in the hot-key form. Over a window without a page the
// last page captured is looked up again. The session afterwards holds the window and the
// address captured. Both searches let the thread's pending messages run.
LookupResult captureItemPage(const SessionState& session, const Deployment& deployment, CapturedPage& lastPage);

}  // namespace quillane
