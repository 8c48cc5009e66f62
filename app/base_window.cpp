#include "app/base_window.h"

#include <utility>

#include "app/window_system.h"

namespace quillane {

BaseWindow::~BaseWindow() {
    if (handle_ != nullptr && IsWindow(handle_)) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void BaseWindow::registerClass(const wchar_t* className, HBRUSH background) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &BaseWindow::windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
}

bool BaseWindow::createWindow(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                              int designWidth, int designHeight) {
    // Created at the design size first: which monitor, and so which DPI, the window gets is known
    // only once it exists. It is not shown yet, so the member never sees the first size.
    const POINT designOrigin = centredOnScreen(designWidth, designHeight);
    CreateWindowExW(exStyle, className, caption, style, designOrigin.x, designOrigin.y, designWidth, designHeight,
                    nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (handle_ == nullptr) {
        return false;
    }
    takeDpi(dpiOfWindow(handle_));
    const int width = scaled(designWidth);
    const int height = scaled(designHeight);
    const POINT origin = centredOnScreen(width, height);
    SetWindowPos(handle_, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void BaseWindow::takeDpi(UINT dpi) {
    dpi_ = dpi;
    defaultFont_.reset(createFontForDpi(dpi));
    icons_ = loadProgramIcons(dpi);
    showIcons(handle_, icons_);
}

LRESULT BaseWindow::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) {
        // The controls keep the old fonts until layOut hands them the new ones.
        FontHandle oldDefaultFont = std::move(defaultFont_);
        WindowIcons oldIcons = std::move(icons_);
        takeDpi(takeSuggestedRect(handle_, wParam, lParam));
        layOut();
        return 0;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK BaseWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BaseWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* creation = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<BaseWindow*>(creation->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->handleMessage(message, wParam, lParam);
    } catch (...) {
        result = DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
    }
    return result;
}

HWND createControl(HWND parent, const ControlLayout& layout, UINT dpi, HFONT font, const char* text) {
    const RECT place = scaledRect(layout.rect, dpi);
    HWND control = CreateWindowExW(layout.exStyle, layout.className, gbkToWide(text != nullptr ? text : layout.text).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | layout.style, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void placeControl(HWND parent, const ControlLayout& layout, UINT dpi, HFONT font) {
    HWND control = GetDlgItem(parent, layout.id);
    if (control == nullptr) {
        return;
    }
    const RECT place = scaledRect(layout.rect, dpi);
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace quillane
