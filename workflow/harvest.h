#pragma once
#include "workflow/workflow_context.h"

namespace quillane {

// The button "获取关键信息": reads the platform's session cookies from the system store, takes
// the form token out of them, asks the ad-zone service for the member's site id and ad-zone
// id and keeps all of it as the session state. Only a harvest that found both ids replaces the
// session state and switches the window to its compact view.
void harvestSessionKeys(WorkflowContext& context);

}  // namespace quillane
