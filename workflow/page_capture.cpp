#include "workflow/page_capture.h"

#include "workflow/rebate_lookup.h"

namespace quillane {

void captureItemPage(WorkflowContext& context, PageDocument& pageDocument) {
    SessionState& session = context.session;
    POINT cursor{0, 0};  // a failed read means the point (0, 0)
    GetCursorPos(&cursor);
    session.cursorWindow = WindowFromPoint(cursor);
    // Without a document view under the mouse the document of the last capture stays, so the
    // lookup repeats for that page (at its current address).
    pageDocument.attach(session.cursorWindow);
    session.capturedAddress = pageDocument.readLocation();
    lookupRebate(context, LookupForm::HotKey);
}

}  // namespace quillane
