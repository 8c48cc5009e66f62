#include "app/result_window.h"

#include <utility>

#include "app/window_system.h"
#include "workflow/member_texts.h"

namespace quillane {

ResultWindow::ResultWindow(std::string message, std::string link, std::function<void()> endProgram)
    : message_(std::move(message)), link_(std::move(link)), endProgram_(std::move(endProgram)) {}

ResultWindow::~ResultWindow() {
    if (handle() != nullptr && IsWindow(handle())) {
        DestroyWindow(handle());
    }
}

bool ResultWindow::create() {
    registerClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    taskbarHider_.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
    // Fixed border and a caption bar with the close box only.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (!createWindow(kClassName, L"", style, WS_EX_TOPMOST, kOuterWidth, kOuterHeight)) {
        return false;
    }
    // The owner of a top-level window, set before it is first shown, when the taskbar decides.
    SetWindowLongPtrW(handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(taskbarHider_.get()));
    createControls();
    // The window takes the sentence now and never again: a later result opens a new window.
    setControlText(control(kMessageLabelId), message_);
    ShowWindow(handle(), SW_SHOWNORMAL);
    UpdateWindow(handle());
    return true;
}

namespace {

// The controls in creation order: the label covers the upper two thirds of the window; the two
// buttons share one row below it, the wide open-link button on the left and the narrow end
// button on the right.
constexpr ControlLayout kControls[] = {
    {ResultWindow::kEndButtonId, L"BUTTON", kEndProgramButton, BS_PUSHBUTTON | WS_TABSTOP, 0, {408, 162, 80, 40}},
    {ResultWindow::kOpenLinkButtonId, L"BUTTON", kOpenLinkButton, BS_PUSHBUTTON | WS_TABSTOP, 0, {51, 162, 312, 40}},
    // Several lines fit: a long sentence wraps at word or character boundaries. SS_NOPREFIX: an
    // "&" of an item title shows as itself, not as an underline.
    {ResultWindow::kMessageLabelId, L"STATIC", "标签", SS_LEFT | SS_NOPREFIX, 0, {6, 6, 480, 152}},
};

}  // namespace

void ResultWindow::createFonts() {
    openLinkFont_.reset(createFontForDpi(dpi(), kLabelFontHeight, FW_BOLD, GB2312_CHARSET, L"微软雅黑"));
    messageFont_.reset(createFontForDpi(dpi(), kLabelFontHeight, FW_NORMAL, GB2312_CHARSET));
}

HFONT ResultWindow::fontOf(int controlId) const {
    switch (controlId) {
    case kOpenLinkButtonId:
        return openLinkFont_.get();
    case kMessageLabelId:
        return messageFont_.get();
    default:
        return defaultFont();
    }
}

void ResultWindow::createControls() {
    createFonts();
    for (const ControlLayout& layout : kControls) {
        createControl(handle(), layout, dpi(), fontOf(layout.id));
    }
    EnableWindow(control(kOpenLinkButtonId), link_.empty() ? FALSE : TRUE);
}

void ResultWindow::layOut() {
    // The controls keep the old fonts until they have the new ones.
    FontHandle oldOpenLinkFont = std::move(openLinkFont_);
    FontHandle oldMessageFont = std::move(messageFont_);
    createFonts();
    for (const ControlLayout& layout : kControls) {
        placeControl(handle(), layout, dpi(), fontOf(layout.id));
    }
}

LRESULT ResultWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == control(kMessageLabelId)) {
            return colourLabel(reinterpret_cast<HDC>(wParam), kMessageColour);
        }
        break;
    default:
        break;
    }
    return defaultHandling(message, wParam, lParam);
}

void ResultWindow::onCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
    case kOpenLinkButtonId:
        if (!link_.empty()) {
            openInDefaultBrowser(link_);
        }
        break;
    case kEndButtonId:
        if (endProgram_) {
            endProgram_();
        }
        break;
    default:
        break;
    }
}

}  // namespace quillane
