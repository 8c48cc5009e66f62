#include "workflow/page_capture.h"

namespace quillane {

LookupResult captureItemPage(const SessionState& session, const Deployment& deployment, PageDocument& pageDocument) {
    SessionState captured = session;
    POINT cursor{0, 0};  // a failed read means the point (0, 0)
    GetCursorPos(&cursor);
    captured.cursorWindow = WindowFromPoint(cursor);
    // Without a document view under the mouse the document of the last capture stays, so the
    // lookup repeats for that page (at its current address).
    pageDocument.attach(captured.cursorWindow);
    captured.capturedAddress = pageDocument.readLocation();
    return lookupRebate(captured.capturedAddress, LookupForm::HotKey, captured, deployment);
}

}  // namespace quillane
