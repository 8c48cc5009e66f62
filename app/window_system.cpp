#include "app/window_system.h"

#include <shellapi.h>

#include <cstring>
#include <optional>

#include "util/owners.h"

namespace quillane {
void setControlText(HWND control, std::string_view gbk) {
    SetWindowTextW(control, gbkToWide(gbk).c_str());
}

std::string controlText(HWND control) {
    return wideToGbk(controlWideText(control));
}

std::wstring controlWideText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, wide.data(), length + 1);
    wide.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return wide;
}

void setVisible(HWND window, bool visible) {
    ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

void setOuterHeight(HWND window, int pixels) {
    RECT outer{};
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, pixels, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void setAlwaysOnTop(HWND window, bool onTop) {
    SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool isChecked(HWND checkBox) {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

namespace {

// Clipboard managers and remote-desktop clients open the clipboard for moments at a time;
// a write waits that long for them before it gives up.
constexpr ULONGLONG kClipboardPatienceMs = 1000;
constexpr DWORD kClipboardRetryMs = 20;

}  // namespace

bool replaceClipboardText(HWND owner, std::string_view gbk) {
    return replaceClipboardWideText(owner, gbkToWide(gbk));
}

bool replaceClipboardWideText(HWND owner, std::wstring_view wide) {
    const ULONGLONG giveUpAt = GetTickCount64() + kClipboardPatienceMs;
    std::optional<OpenedClipboard> clipboard;
    for (clipboard.emplace(owner); !clipboard->isOpen() && GetTickCount64() < giveUpAt; clipboard.emplace(owner)) {
        Sleep(kClipboardRetryMs);
    }
    if (!clipboard->isOpen() || !EmptyClipboard()) {
        return false;
    }
    if (wide.empty()) {
        return true;
    }
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    if (!block) {
        return false;
    }
    void* target = GlobalLock(block.get());
    if (target == nullptr) {
        return false;
    }
    std::memcpy(target, wide.data(), wide.size() * sizeof(wchar_t));
    GlobalUnlock(block.get());
    if (SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr) {
        return false;
    }
    block.release();  // the clipboard owns it now
    return true;
}

void openInDefaultBrowser(std::string_view gbkAddress) {
    if (gbkAddress.empty()) {
        return;
    }
    ShellExecuteW(nullptr, L"open", gbkToWide(gbkAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool registerHomeHotKey(HWND owner, int id) {
    return RegisterHotKey(owner, id, 0, VK_HOME) != FALSE;
}

void releaseHotKey(HWND owner, int id) {
    UnregisterHotKey(owner, id);
}

bool closeOnEscape(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) {
        return false;
    }
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr) {
        return false;
    }
    wchar_t className[64] = {};
    GetClassNameW(root, className, 64);
    if (!std::wstring_view(className).starts_with(L"Quillane")) {
        return false;
    }
    PostMessageW(root, WM_CLOSE, 0, 0);
    return true;
}

LRESULT colourLabel(HDC context, COLORREF textColour) {
    SetTextColor(context, textColour);
    SetBkColor(context, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

POINT centredOnScreen(int outerWidth, int outerHeight) {
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2};
}

}  // namespace quillane
