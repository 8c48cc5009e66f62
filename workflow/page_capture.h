#pragma once
#include "workflow/page_document.h"
#include "workflow/workflow_context.h"

namespace quillane {

// The Home key: finds the Internet Explorer document under the mouse, reads its address and
// looks that item up in the hot-key form (link made, result window shown).
void captureItemPage(WorkflowContext& context, PageDocument& pageDocument);

}  // namespace quillane
