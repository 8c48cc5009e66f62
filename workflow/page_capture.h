#pragma once
#include "workflow/page_document.h"
#include "workflow/rebate_lookup.h"

namespace quillane {

// The Home key: finds the Internet Explorer document under the mouse, reads its address and
// looks that item up in the hot-key form. The session afterwards holds the window and the
// address captured. The document search lets the thread's pending messages run.
LookupResult captureItemPage(const SessionState& session, const Deployment& deployment, PageDocument& pageDocument);

}  // namespace quillane
