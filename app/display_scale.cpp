#include "app/display_scale.h"

#include <cwchar>

namespace quillane {
namespace {

// The default GUI font is 8 points, 11 pixels high on a 96-DPI display. The stock object is made
// once for the system's DPI, so a window on a monitor of another DPI needs its own.
constexpr int kDefaultFontHeight = 11;

template <class Function>
Function userFunction(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr ? nullptr : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT systemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT dpiOfWindow(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = userFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : systemDpi();
}

int scaledToDpi(int designPixels, UINT dpi) {
    return MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

RECT scaledRect(const DesignRect& design, UINT dpi) {
    return RECT{scaledToDpi(design.left, dpi), scaledToDpi(design.top, dpi),
                scaledToDpi(design.left + design.width, dpi), scaledToDpi(design.top + design.height, dpi)};
}

HFONT createFontForDpi(UINT dpi, int characterHeight, int weight, BYTE charSet, const wchar_t* faceName) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    // Negative: the character height, not the cell height.
    font.lfHeight = -scaledToDpi(characterHeight != 0 ? characterHeight : kDefaultFontHeight, dpi);
    font.lfWidth = 0;
    font.lfWeight = weight;
    if (charSet != DEFAULT_CHARSET) {
        font.lfCharSet = charSet;
    }
    if (faceName != nullptr) {
        wcsncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    return CreateFontIndirectW(&font);
}

WindowIcons loadProgramIcons(UINT dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi = userFunction<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    // Without the per-DPI metrics (before Windows 10 1607) every monitor has the system's DPI.
    const auto metric = [dpi](int index) {
        return metricsForDpi != nullptr ? metricsForDpi(index, dpi) : GetSystemMetrics(index);
    };
    const auto load = [](int width, int height) {
        return IconHandle(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    };
    return WindowIcons{load(metric(SM_CXICON), metric(SM_CYICON)), load(metric(SM_CXSMICON), metric(SM_CYSMICON))};
}

void showIcons(HWND window, const WindowIcons& icons) {
    if (icons.big) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big.get()));
    }
    if (icons.small) {
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small.get()));
    }
}

HWND windowUnderMouse() {
    // Read as a program aware of the system's DPI only: under Wine a thread aware of each
    // monitor's DPI was handed the pointer's place before its last move about every second
    // press, and Home read the window it had left. The point and the window are read in the same
    // context, so they agree on Windows too, where only a monitor of another DPI than the
    // system's rounds the point to that DPI. Before Windows 10 1607 the thread has no context of
    // its own and reads as the program does.
    using SetThreadDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    static const auto setContext = userFunction<SetThreadDpiAwarenessContextFunction>("SetThreadDpiAwarenessContext");
    const DPI_AWARENESS_CONTEXT previous =
        setContext != nullptr ? setContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE) : nullptr;
    POINT cursor{0, 0};  // a failed read means the point (0, 0)
    GetCursorPos(&cursor);
    const HWND underMouse = WindowFromPoint(cursor);
    if (previous != nullptr) {
        setContext(previous);
    }
    return underMouse;
}

UINT takeSuggestedRect(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const UINT dpi = HIWORD(wParam);
    return dpi != 0 ? dpi : dpiOfWindow(window);
}

}  // namespace quillane
