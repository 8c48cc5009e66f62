#include "workflow/page_capture.h"

#include "workflow/capture/accessible_address.h"

namespace quillane {

LookupResult captureItemPage(const SessionState& session, const Deployment& deployment, CapturedPage& lastPage) {
    SessionState captured = session;
    POINT cursor{0, 0};  // a failed read means the point (0, 0)
    GetCursorPos(&cursor);
    captured.cursorWindow = WindowFromPoint(cursor);
    // Internet Explorer first. Without a document view under the mouse, another browser's
    // page; without that either, the last page captured stays, so the lookup repeats for it
    // (an Internet Explorer page at its current address).
    lastPage.document.attach(captured.cursorWindow);
    if (lastPage.document.tookNewDocument()) {
        lastPage.browserAddress.reset();
    } else if (auto address = readAccessibleAddress(GetAncestor(captured.cursorWindow, GA_ROOT))) {
        lastPage.browserAddress = std::move(address);
    }
    captured.capturedAddress = lastPage.browserAddress ? *lastPage.browserAddress : lastPage.document.readLocation();
    return lookupRebate(captured.capturedAddress, LookupForm::HotKey, captured, deployment);
}

}  // namespace quillane
