#pragma once
// The small always-on-top window that reports a Home hot-key lookup: the result sentence,
// a button that opens the member's affiliate link in the default browser, and a button that
// ends the program.
#include <windows.h>

#include <functional>

#include "app/base_window.h"
#include "workflow/session_state.h"

namespace quillane {

class ResultWindow : public BaseWindow {
public:
    static constexpr int kEndButtonId = 2001;       // "关闭隐藏程序"
    static constexpr int kOpenLinkButtonId = 2002;  // "打开返利链接"
    static constexpr int kMessageLabelId = 2003;    // the result sentence
    static constexpr int kOuterWidth = 499;
    static constexpr int kOuterHeight = 234;
    static constexpr COLORREF kMessageColour = RGB(192, 96, 0);
    static constexpr const wchar_t* kClassName = L"QuillaneResultWindow";

    // session: read for resultMessage when the window is created and for affiliateLink when
    // the open-link button is clicked. endProgram: what the end button runs.
    ResultWindow(const SessionState& session, std::function<void()> endProgram);
    ~ResultWindow() override;

    // Creates, fills and shows the window.
    bool create();
    HWND control(int id) const { return GetDlgItem(handle(), id); }

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    void onCommand(int id, int notification);

    const SessionState& session_;
    std::function<void()> endProgram_;
    // An unowned window gets a taskbar button; one owned by a window that is never shown
    // gets none and keeps its normal caption bar.
    HWND taskbarHider_ = nullptr;
    GdiObject<HFONT> openLinkFont_;
    GdiObject<HFONT> messageFont_;
};

}  // namespace quillane
