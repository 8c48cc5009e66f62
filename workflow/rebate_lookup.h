#pragma once
#include "workflow/workflow_context.h"

namespace quillane {

// Where a lookup's text comes from and where its result goes.
enum class LookupForm {
    EditBox,  // the item edit box's content; the result in the status label
    HotKey,   // the captured page address; the link made and the result window shown
};

// Works out the item id from the text, asks the item-search service for the item and reports
// its title and commission. Keeps the item id for the link.
void lookupRebate(WorkflowContext& context, LookupForm form);

}  // namespace quillane
