#pragma once
#include "workflow/workflow_context.h"

namespace quillane {

// Asks the link service for the member's link to the item last looked up, keeps it as the
// session's affiliate link and puts it on the clipboard. An unsuccessful reply changes nothing.
void makeAffiliateLink(WorkflowContext& context);

}  // namespace quillane
