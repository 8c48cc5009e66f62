#pragma once
// Drives real programs under test through their real windows: starts them, finds their
// windows, sends window messages, presses real keys on the X display (xdotool), and reads
// texts, geometry and the clipboard back. Texts are GBK, like the program's own.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "util/owners.h"

namespace quillane::test {

using EnvironmentOverrides = std::vector<std::pair<std::wstring, std::wstring>>;

// The folder of the running test program, where every program of the build lies.
std::wstring binFolder();

// A program started by a test; ended (if still running) when the object goes.
class RunningProgram {
public:
    // program: file name inside binFolder(); arguments: already quoted as needed. Its standard
    // streams lead nowhere. Null when it could not be started.
    static std::unique_ptr<RunningProgram> start(const std::wstring& program, const std::wstring& arguments = {},
                                                 const EnvironmentOverrides& environment = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    DWORD processId() const { return processId_; }
    HANDLE handle() const { return process_.get(); }
    bool isRunning() const;
    // True when the process ended within timeoutMs; exitCode receives its code.
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void terminate();
    // Closes the window as its close box does (when there is one) and waits up to timeoutMs
    // for the program to end.
    void closeAndWait(HWND window, DWORD timeoutMs) const;
    // Waits until the program's user-interface thread waits for input with nothing pending.
    bool waitForInputIdle(DWORD timeoutMs = 20000) const;

private:
    RunningProgram(KernelHandle process, DWORD processId) : process_(std::move(process)), processId_(processId) {}
    KernelHandle process_;
    DWORD processId_;
};

// Top-level windows of a process in stacking order (the order EnumWindows reports).
std::vector<HWND> topLevelWindows(DWORD processId);
// The first visible top-level window of the process with this window class, or null.
HWND findWindowOfClass(DWORD processId, const std::wstring& className);
// Waits up to timeoutMs for such a window.
HWND waitForWindowOfClass(DWORD processId, const std::wstring& className, DWORD timeoutMs = 15000);

std::string windowText(HWND window);  // through WM_GETTEXT, as GBK
std::wstring windowClass(HWND window);
RECT windowRect(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT childRectInParent(HWND child);
std::vector<HWND> childrenInStackingOrder(HWND parent);
// The window with the keyboard focus in the thread that owns the window; null when none has it
// (the thread's windows are not active).
HWND focusInThreadOf(HWND window);

// A plain top-level window of the calling process (of a static control's class unless named),
// normal stacking, destroyed with the object; children: plain child windows below it.
class PlainWindow {
public:
    explicit PlainWindow(bool visible, const wchar_t* className = L"STATIC", const std::wstring& title = L"plain",
                         int children = 0);
    ~PlainWindow() { DestroyWindow(window_); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_;
};

// Real input on the X display. Keys are xdotool key names ("Home", "Escape"). moveMouse
// returns once the system has the mouse there.
void pressKeys(const std::wstring& keys);
void typeText(const std::wstring& text);
void moveMouse(int x, int y);
void clickAt(int x, int y);
void doubleClickAt(int x, int y);
POINT centreOf(const RECT& rect);

// The clipboard's Unicode text as GBK; empty when it holds no text.
std::string clipboardText();
// The same as the clipboard holds it, for text that GBK cannot carry (emoji).
std::wstring clipboardWideText();
// Puts text on the clipboard from the test, to see whether the program changes it.
void replaceClipboardWith(const std::string& gbk);

}  // namespace quillane::test
