#pragma once
// What every workflow run works with: the session state it reads and writes, the windows it
// reports to, and where the platform lives.
#include "workflow/deployment.h"
#include "workflow/session_state.h"
#include "workflow/workflow_view.h"

namespace quillane {

struct WorkflowContext {
    SessionState& session;
    WorkflowView& view;
    const Deployment& deployment;
};

}  // namespace quillane
