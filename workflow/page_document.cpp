#include "workflow/page_document.h"

#include <objbase.h>

namespace quillane {

PageDocument::PageDocument() {
    // S_FALSE (already initialised on this thread) must be balanced as well.
    comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
}

PageDocument::~PageDocument() {
    if (comInitialised_) {
        CoUninitialize();
    }
}

}  // namespace quillane
