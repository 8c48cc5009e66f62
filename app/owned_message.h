#pragma once
// The program's own message box: unless the caller names an owner, it belongs to the first
// visible top-level window of this process, so it is modal to that window and stays in
// front of it. Texts are GBK.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "workflow/member_texts.h"

namespace quillane {

// One top-level window as seen when the windows were listed.
struct WindowEntry {
    HWND handle = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
    std::string title;      // at most 255 characters, empty when the window has none
    std::string className;  // at most 49 characters
};

// Replaces list with every top-level window of the desktop, in the order the system reports
// them (from the top of the stacking order down). Returns the number of entries.
int listTopLevelWindows(std::vector<WindowEntry>& list);

// The first visible top-level window of the process in stacking order, or null.
HWND findProcessWindow(DWORD processId);

struct OwnedMessageOptions {
    UINT style = MB_OK | MB_ICONINFORMATION;
    std::string caption = kMessageCaption;
    // Absent: the first visible top-level window of this process. Present but null: no owner.
    std::optional<HWND> owner;
};

// Shows the box and waits for the answer. Returns the zero-based button code (0 OK,
// 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No), or -1 when the box could not appear.
int showOwnedMessage(const std::string& text, const OwnedMessageOptions& options = {});

}  // namespace quillane
