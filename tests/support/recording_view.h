#pragma once
// A stand-in for the windows that records what the workflow showed, for workflow tests that
// run without any window.
#include <string>
#include <vector>

#include "workflow/workflow_view.h"

namespace quillane::test {

class RecordingView : public WorkflowView {
public:
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    std::string editBoxText() override { return editText; }
    void hideBrowser() override { browserHidden = true; }
    void setOuterHeight(int pixels) override { outerHeight = pixels; }
    int showOwnedMessage(const std::string& text) override {
        messages.push_back(text);
        return 0;
    }
    void showResultWindow() override { ++resultWindowsShown; }
    bool setClipboardText(const std::string& text) override {
        clipboardTexts.push_back(text);
        return true;
    }

    std::string lastStatus() const { return statusTexts.empty() ? std::string() : statusTexts.back(); }

    std::string editText;
    std::vector<std::string> statusTexts;
    bool browserHidden = false;
    int outerHeight = 0;
    std::vector<std::string> messages;
    int resultWindowsShown = 0;
    std::vector<std::string> clipboardTexts;
};

}  // namespace quillane::test
