#include "app/base_window.h"

#include <cwchar>

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

bool BaseWindow::createWindow(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x,
                              int y, int width, int height) {
    CreateWindowExW(exStyle, className, caption, style, x, y, width, height, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    return handle_ != nullptr;
}

LRESULT BaseWindow::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
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

HFONT createFont(int characterHeight, int weight, BYTE charSet, const wchar_t* faceName) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = -characterHeight;  // negative: character height, not cell height
    font.lfWidth = 0;
    font.lfWeight = weight;
    font.lfCharSet = charSet;
    if (faceName != nullptr) {
        wcsncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    return CreateFontIndirectW(&font);
}

HWND createControl(HWND parent, const ControlLayout& layout) {
    HWND control = CreateWindowExW(layout.exStyle, layout.className, gbkToWide(layout.text).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | layout.style, layout.left, layout.top,
                                   layout.width, layout.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

}  // namespace quillane
