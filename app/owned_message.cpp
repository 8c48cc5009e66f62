#include "app/owned_message.h"

#include "util/wide_text.h"

namespace quillane {
namespace {

constexpr int kTitleBufferLength = 256;
constexpr int kClassNameBufferLength = 50;

// Read through the W functions and converted to GBK, so that Chinese titles survive
// whatever the system's ANSI code page is.
std::string readWindowTitle(HWND window) {
    wchar_t buffer[kTitleBufferLength] = {};
    const int length = GetWindowTextW(window, buffer, kTitleBufferLength);
    return length > 0 ? wideToGbk(std::wstring_view(buffer, static_cast<std::size_t>(length))) : std::string();
}

std::string readClassName(HWND window) {
    wchar_t buffer[kClassNameBufferLength] = {};
    const int length = GetClassNameW(window, buffer, kClassNameBufferLength);
    return length > 0 ? wideToGbk(std::wstring_view(buffer, static_cast<std::size_t>(length))) : std::string();
}

BOOL CALLBACK addWindowEntry(HWND window, LPARAM data) {
    auto& entries = *reinterpret_cast<std::vector<WindowEntry>*>(data);
    WindowEntry entry;
    entry.handle = window;
    entry.threadId = GetWindowThreadProcessId(window, &entry.processId);
    entry.title = readWindowTitle(window);
    entry.className = readClassName(window);
    entries.push_back(std::move(entry));
    return TRUE;  // every top-level window is visited
}

}  // namespace

int listTopLevelWindows(std::vector<WindowEntry>& list) {
    // Filled by the callback on this thread during the call; each caller gets its own list,
    // so nothing is left over between enumerations.
    std::vector<WindowEntry> entries;
    EnumWindows(&addWindowEntry, reinterpret_cast<LPARAM>(&entries));
    list = std::move(entries);
    return static_cast<int>(list.size());
}

HWND findProcessWindow(DWORD processId) {
    std::vector<WindowEntry> entries;
    listTopLevelWindows(entries);
    for (const WindowEntry& entry : entries) {
        // Hidden windows (such as those system components create for their own use) would
        // make an invisible box that nobody can answer.
        if (entry.processId == processId && IsWindowVisible(entry.handle)) {
            return entry.handle;
        }
    }
    return nullptr;
}

int showOwnedMessage(const std::string& text, const OwnedMessageOptions& options) {
    const HWND owner = options.owner.has_value() ? *options.owner : findProcessWindow(GetCurrentProcessId());
    const int pressed =
        MessageBoxW(owner, gbkToWide(text).c_str(), gbkToWide(options.caption).c_str(), options.style);
    // The system counts buttons from 1 (IDOK) and reports failure as 0.
    return pressed - 1;
}

}  // namespace quillane
