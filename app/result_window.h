#pragma once
// The small always-on-top window that reports a Home hot-key lookup: the result sentence,
// a button that opens the member's affiliate link to that item in the default browser, and a
// button that ends the program.
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

    // message: the sentence the window shows; link: the link made for the item it names, which
    // "打开返利链接" opens. Both are the window's own, taken now and never changed, so the button
    // opens exactly this link whatever the program makes later. Without a link (none was made
    // for the item) the button is disabled. endProgram: what "关闭隐藏程序" runs.
    ResultWindow(std::string message, std::string link, std::function<void()> endProgram);
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
    std::string link_;
    std::function<void()> endProgram_;
    // An unowned window gets a taskbar button; one owned by a window that is never shown
    // gets none and keeps its normal caption bar.
    WindowHandle taskbarHider_;
    FontHandle openLinkFont_;
    FontHandle messageFont_;
};

}  // namespace quillane
