#pragma once
// What the workflow needs of the windows. The application implements it on the real
// controls; workflow tests implement it with a recorder. Texts are GBK.
#include <string>

namespace quillane {

class WorkflowView {
public:
    virtual ~WorkflowView() = default;

    virtual void setStatusText(const std::string& text) = 0;   // the main window's status label
    virtual std::string editBoxText() = 0;                     // the item edit box's content
    virtual void hideBrowser() = 0;                            // the embedded login browser
    virtual void setOuterHeight(int pixels) = 0;               // the main window's outer height
    // A message box owned by the program's own visible window, caption "友情提醒", one OK
    // button and the information icon. Returns the zero-based button code, -1 on failure.
    virtual int showOwnedMessage(const std::string& text) = 0;
    virtual void showResultWindow() = 0;                       // takes resultMessage when created
    virtual bool setClipboardText(const std::string& text) = 0;
};

}  // namespace quillane
