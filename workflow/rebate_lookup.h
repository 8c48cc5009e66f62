#pragma once
#include <string>
#include <string_view>

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

// The run of decimal digits right after the last "id=" of the text (empty when there is none).
std::string itemIdCandidate(std::string_view text);
// A candidate is taken as the item id without fetching the page when it has at least 11
// digits and its value is greater than 10 000 000 000.
bool isDirectItemId(std::string_view candidate);

}  // namespace quillane
