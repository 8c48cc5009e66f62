#pragma once
// Finding, reading and answering the system message boxes that a program under test shows
// (window class "#32770"), in another process or in the test process itself.
#include <windows.h>

#include <future>
#include <string>
#include <vector>

namespace quillane::test {

struct MessageBoxSeen {
    HWND box = nullptr;
    HWND owner = nullptr;
    bool ownerDisabled = false;  // the owner's state while the box showed
    std::string caption;         // GBK
    std::string text;            // the message, GBK
    std::vector<std::string> buttons;  // push-button captions in the order of their ids
    std::vector<int> buttonIds;        // IDOK, IDYES, ... in the same order
    HICON icon = nullptr;        // null when the box shows no icon
};

// The first visible message box among the process's top-level windows, waiting up to
// timeoutMs for one; null when none came.
HWND waitForMessageBox(DWORD processId, DWORD timeoutMs = 15000);
// Any visible message box of the process, without waiting.
HWND findMessageBox(DWORD processId);

MessageBoxSeen readMessageBox(HWND box);

// Clicks the box's button with this command id (IDOK, IDYES, IDNO...), as a mouse click does.
bool pressMessageBoxButton(HWND box, int buttonId);

// On a thread of its own: waits for a message box of the process, reads it, then presses the
// button. For boxes whose modal loop runs on the calling thread (the test process's own).
// The future holds what was seen; its box is null when no box came within timeoutMs.
std::future<MessageBoxSeen> answerMessageBox(DWORD processId, int buttonId, DWORD timeoutMs = 15000);

}  // namespace quillane::test
