#pragma once
// The small always-on-top window that reports a Home hot-key lookup: the result sentence,
// a button that opens the member's affiliate link in the default browser, and a button that
// ends the program.
#include <windows.h>

#include <functional>
#include <string>

#include "app/base_window.h"

namespace quillane {

class ResultWindow : public BaseWindow {
public:
    static constexpr int kEndButtonId = 2001;       // "关闭隐藏程序"
    static constexpr int kOpenLinkButtonId = 2002;  // "打开返利链接"
    static constexpr int kMessageLabelId = 2003;    // the result sentence
    static constexpr int kOuterWidth = 499;
    static constexpr int kOuterHeight = 234;
    static constexpr int kLabelFontHeight = 21;  // pixels at 96 DPI, the open-link button's and the sentence's
    static constexpr COLORREF kMessageColour = RGB(192, 96, 0);
    static constexpr const wchar_t* kClassName = L"QuillaneResultWindow";

    // message: the sentence the window shows, taken now and never changed. openLink and
    // endProgram: what the two buttons run. Without openLink (no link was made for the item
    // the sentence names) the button "打开返利链接" is disabled, so that it can never open a link
    // made for another item.
    ResultWindow(std::string message, std::function<void()> openLink, std::function<void()> endProgram);
    ~ResultWindow() override;

    // Creates, fills and shows the window.
    bool create();
    HWND control(int id) const { return GetDlgItem(handle(), id); }

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    void createFonts();
    void layOut() override;
    HFONT fontOf(int controlId) const;
    void onCommand(int id, int notification);

    std::string message_;
    std::function<void()> openLink_;
    std::function<void()> endProgram_;
    // An unowned window gets a taskbar button; one owned by a window that is never shown
    // gets none and keeps its normal caption bar.
    WindowHandle taskbarHider_;
    FontHandle openLinkFont_;
    FontHandle messageFont_;
};

}  // namespace quillane
