#include "tests/support/doc_view_client.h"

#include "sim/doc_view/protocol.h"
#include "tests/support/wait.h"
#include "util/wide_text.h"

namespace quillane::test {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kEndTimeoutMs = 10000;
constexpr UINT kNavigateTimeoutMs = 5000;

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only in front of a quote.
        result.append(character == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        result.push_back(character);
        backslashes = 0;
    }
    result.append(backslashes * 2, L'\\');
    result.push_back(L'"');
    return result;
}

std::wstring programBeside(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

struct WindowSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK findFrame(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && IsWindowVisible(window) &&
        std::wstring(className) == quillane::docview::kFrameClass) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectViews(HWND window, LPARAM lParam) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) == quillane::docview::kDocumentViewClass) {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    }
    return TRUE;
}

}  // namespace

DocViewProcess::DocViewProcess(const DocViewSetup& setup) : hang_(setup.hang) {
    if (!start(setup)) {
        return;
    }
    const size_t expectedViews = setup.secondAddress ? 2 : 1;
    if (!waitUntil([&] { return findWindows(expectedViews); }, kStartTimeoutMs)) {
        failure_ = "doc_view.exe started but its views did not appear";
        stop();
    }
}

DocViewProcess::~DocViewProcess() {
    stop();
}

bool DocViewProcess::start(const DocViewSetup& setup) {
    const std::wstring program = programBeside(L"doc_view.exe");
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        failure_ = "doc_view.exe is not beside the test program";
        return false;
    }
    const RECT& outer = setup.frame;
    std::wstring commandLine = quoted(program) + L" --rect " + std::to_wstring(outer.left) + L"," +
                               std::to_wstring(outer.top) + L"," + std::to_wstring(outer.right - outer.left) +
                               L"," + std::to_wstring(outer.bottom - outer.top);
    if (setup.secondAddress) {
        commandLine += L" --second-view " + quoted(gbkToWide(*setup.secondAddress));
    }
    if (setup.hang) {
        commandLine += L" --hang";
    }
    if (setup.plainLocation) {
        commandLine += L" --plain-location";
    }
    commandLine += L" " + quoted(gbkToWide(setup.address));

    // Its output goes nowhere: a Wine program must not hold a pipe of ours open.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const Handle nothing(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nothing.get();
    PROCESS_INFORMATION started = {};
    if (nothing.get() == INVALID_HANDLE_VALUE ||
        !CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started)) {
        failure_ = "doc_view.exe could not be started";
        return false;
    }
    CloseHandle(started.hThread);
    process_.reset(started.hProcess);
    processId_ = started.dwProcessId;
    return true;
}

bool DocViewProcess::findWindows(size_t expectedViews) {
    WindowSearch search{processId_};
    EnumWindows(findFrame, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return false;
    }
    std::vector<HWND> views;
    EnumChildWindows(search.found, collectViews, reinterpret_cast<LPARAM>(&views));
    if (views.size() != expectedViews) {
        return false;
    }
    frame_ = search.found;
    addressBar_ = FindWindowExW(frame_, nullptr, L"Edit", nullptr);
    views_ = std::move(views);
    return true;
}

RECT DocViewProcess::frameRect() const {
    RECT outer = {};
    GetWindowRect(frame_, &outer);
    return outer;
}

POINT DocViewProcess::captionPoint() const {
    const RECT outer = frameRect();
    POINT clientOrigin = {0, 0};
    ClientToScreen(frame_, &clientOrigin);
    return {(outer.left + outer.right) / 2, (outer.top + clientOrigin.y) / 2};
}

POINT DocViewProcess::contentPoint() const {
    RECT content = {};
    GetWindowRect(view(), &content);
    return {(content.left + content.right) / 2, (content.top + content.bottom) / 2};
}

bool DocViewProcess::navigate(const std::string& address, size_t viewIndex) {
    std::wstring text = gbkToWide(address);
    COPYDATASTRUCT data = {};
    data.dwData = viewIndex + 1;
    data.cbData = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    data.lpData = text.data();
    DWORD_PTR taken = FALSE;
    return SendMessageTimeoutW(frame_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               kNavigateTimeoutMs, &taken) != 0 &&
           taken == TRUE;
}

void DocViewProcess::stop() {
    if (!process_) {
        return;
    }
    if (hang_) {
        const Handle release(
            OpenEventW(EVENT_MODIFY_STATE, FALSE, docview::hangReleaseEventName(processId_).c_str()));
        if (release) {
            SetEvent(release.get());
        }
    }
    if (frame_ != nullptr) {
        PostMessageW(frame_, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process_.get(), kEndTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kEndTimeoutMs);
    }
    process_.reset();
    frame_ = nullptr;
    addressBar_ = nullptr;
    views_.clear();
}

}  // namespace quillane::test
