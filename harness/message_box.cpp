#include "harness/message_box.h"

#include <algorithm>
#include <thread>

#include "harness/ui_driver.h"
#include "harness/wait.h"

namespace quillane::test {
namespace {

// The message text of a system message box is the static control with this id.
constexpr int kMessageTextId = 0xFFFF;

bool isMessageBox(HWND window) {
    return IsWindowVisible(window) && windowClass(window) == L"#32770";
}

}  // namespace

HWND findMessageBox(DWORD processId) {
    for (HWND window : topLevelWindows(processId)) {
        if (isMessageBox(window)) {
            return window;
        }
    }
    return nullptr;
}

HWND waitForMessageBox(DWORD processId, DWORD timeoutMs) {
    HWND box = nullptr;
    waitUntil([&] { return (box = findMessageBox(processId)) != nullptr; }, timeoutMs);
    return box;
}

MessageBoxSeen readMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.box = box;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.ownerDisabled = seen.owner != nullptr && !IsWindowEnabled(seen.owner);
    seen.caption = windowText(box);
    seen.text = windowText(GetDlgItem(box, kMessageTextId));
    std::vector<std::pair<int, std::string>> buttons;
    for (HWND child : childrenInStackingOrder(box)) {
        const std::wstring className = windowClass(child);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(className.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            buttons.emplace_back(GetDlgCtrlID(child), windowText(child));
        } else if (_wcsicmp(className.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
                   IsWindowVisible(child)) {
            DWORD_PTR icon = 0;
            SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
            seen.icon = reinterpret_cast<HICON>(icon);
        }
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& [id, caption] : buttons) {
        seen.buttonIds.push_back(id);
        seen.buttons.push_back(caption);
    }
    return seen;
}

bool pressMessageBoxButton(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    // Posted: the box's owner thread may be busy inside the call that showed the box.
    return button != nullptr && PostMessageW(button, BM_CLICK, 0, 0);
}

std::future<MessageBoxSeen> answerMessageBox(DWORD processId, int buttonId, DWORD timeoutMs) {
    return std::async(std::launch::async, [=] {
        MessageBoxSeen seen;
        HWND box = waitForMessageBox(processId, timeoutMs);
        if (box == nullptr) {
            return seen;
        }
        seen = readMessageBox(box);
        pressMessageBoxButton(box, buttonId);
        return seen;
    });
}

}  // namespace quillane::test
