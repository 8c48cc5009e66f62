#include "harness/ui_driver.h"

#include "app/window_system.h"
#include "harness/unix_program.h"
#include "harness/wait.h"
#include "util/wide_text.h"

namespace quillane::test {
namespace {

// Input commands run one after another, each waiting for the one before to end.
void runOnDisplay(const std::wstring& command) {
    runShellCommand(L"/usr/bin/xdotool " + command);
}

std::wstring environmentBlock(const EnvironmentOverrides& overrides) {
    std::wstring block;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
        std::wstring_view text(entry);
        bool overridden = false;
        for (const auto& [name, value] : overrides) {
            if (text.size() > name.size() && text[name.size()] == L'=' &&
                _wcsnicmp(text.data(), name.c_str(), name.size()) == 0) {
                overridden = true;
            }
        }
        if (!overridden) {
            block.append(text);
            block.push_back(L'\0');
        }
    }
    if (current != nullptr) {
        FreeEnvironmentStringsW(current);
    }
    for (const auto& [name, value] : overrides) {
        block.append(name).append(L"=").append(value);
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

std::wstring binFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::unique_ptr<RunningProgram> RunningProgram::start(const std::wstring& program, const std::wstring& arguments,
                                                      const EnvironmentOverrides& environment) {
    const std::wstring path = binFolder() + program;
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    std::wstring block = environmentBlock(environment);
    // Wine programs get files, never pipes, for their output: a pipe could be held open by
    // the Wine services they start. Only that one handle is inherited, so that the child never
    // holds on to the test's own sockets (WinINet's kept-alive connections among them).
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    KernelHandle nothing(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inheritable, OPEN_EXISTING, 0, nullptr));
    if (!nothing) {
        return nullptr;
    }
    HANDLE inherited = nothing.get();
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listBuffer(listSize);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBuffer.data());
    const bool listReady = InitializeProcThreadAttributeList(attributes, 1, 0, &listSize) &&
                           UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited,
                                                     sizeof inherited, nullptr, nullptr);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError = inherited;
    startup.lpAttributeList = listReady ? attributes : nullptr;
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW | (listReady ? EXTENDED_STARTUPINFO_PRESENT : 0);
    PROCESS_INFORMATION info{};
    const BOOL created = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags, block.data(),
                                        nullptr, &startup.StartupInfo, &info);
    if (listReady) {
        DeleteProcThreadAttributeList(attributes);
    }
    if (!created) {
        return nullptr;
    }
    KernelHandle thread(info.hThread);
    return std::unique_ptr<RunningProgram>(new RunningProgram(KernelHandle(info.hProcess), info.dwProcessId));
}

RunningProgram::~RunningProgram() {
    terminate();
}

bool RunningProgram::isRunning() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool RunningProgram::waitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        GetExitCodeProcess(process_.get(), exitCode);
    }
    return true;
}

bool RunningProgram::waitForInputIdle(DWORD timeoutMs) const {
    return WaitForInputIdle(process_.get(), timeoutMs) == 0;
}

void RunningProgram::closeAndWait(HWND window, DWORD timeoutMs) const {
    if (window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    waitForExit(timeoutMs);
}

void RunningProgram::terminate() {
    if (isRunning()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 10000);
    }
}

std::vector<HWND> topLevelWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* state = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == state->processId) {
                state->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findWindowOfClass(DWORD processId, const std::wstring& className) {
    for (HWND window : topLevelWindows(processId)) {
        if (IsWindowVisible(window) && windowClass(window) == className) {
            return window;
        }
    }
    return nullptr;
}

HWND waitForWindowOfClass(DWORD processId, const std::wstring& className, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindowOfClass(processId, className)) != nullptr; }, timeoutMs);
    return found;
}

std::string windowText(HWND window) {
    // A program busy in a network request answers late, not never: wait, but not for ever.
    constexpr UINT kAnswerTimeoutMs = 20000;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerTimeoutMs, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                        kAnswerTimeoutMs, &copied);
    text.resize(copied);
    return wideToGbk(text);
}

std::wstring windowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT childRectInParent(HWND child) {
    RECT rect = windowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND focusInThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

PlainWindow::PlainWindow(bool visible, const wchar_t* className, const std::wstring& title, int children) {
    window_ = CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 100, 100,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int child = 0; child < children; ++child) {
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window_, nullptr, nullptr, nullptr);
    }
}

std::vector<HWND> childrenInStackingOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

void pressKeys(const std::wstring& keys) {
    runOnDisplay(L"key " + keys);
}

void typeText(const std::wstring& text) {
    runOnDisplay(L"type -- '" + text + L"'");
}

void moveMouse(int x, int y) {
    runOnDisplay(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y));
    // The system may have the move a moment later: a key pressed right after it must not be
    // read at the mouse's earlier place.
    waitUntil([&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == x && now.y == y;
    }, 5000);
}

void clickAt(int x, int y) {
    runOnDisplay(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" click 1");
}

void doubleClickAt(int x, int y) {
    runOnDisplay(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" click --repeat 2 1");
}

POINT centreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::wstring clipboardWideText() {
    const OpenedClipboard clipboard(nullptr);
    HANDLE data = clipboard.isOpen() ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    const auto* wide = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (wide == nullptr) {
        return {};
    }
    std::wstring text = wide;
    GlobalUnlock(data);
    return text;
}

std::string clipboardText() {
    return wideToGbk(clipboardWideText());
}

void replaceClipboardWith(const std::string& gbk) {
    replaceClipboardText(nullptr, gbk);
}

}  // namespace quillane::test
