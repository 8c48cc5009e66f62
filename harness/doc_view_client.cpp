#include "harness/doc_view_client.h"

#include "sim/doc_view/protocol.h"
#include "harness/wait.h"
#include "util/wide_text.h"

namespace quillane::test {

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

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kEndTimeoutMs = 10000;
constexpr UINT kNavigateTimeoutMs = 5000;

struct WindowSearch {
    DWORD processId;
    const std::wstring& frameClass;
    HWND found = nullptr;
};

BOOL CALLBACK findFrame(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[260] = {};
    GetClassNameW(window, className, 260);
    if (owner == search->processId && IsWindowVisible(window) && search->frameClass == className) {
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

DocViewProcess::DocViewProcess(const DocViewSetup& setup)
    : hang_(setup.hang), frameClass_(setup.frameClass.empty() ? docview::kFrameClass : gbkToWide(setup.frameClass)) {
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
    const RECT& outer = setup.frame;
    std::wstring arguments = L"--rect " + std::to_wstring(outer.left) + L"," + std::to_wstring(outer.top) + L"," +
                             std::to_wstring(outer.right - outer.left) + L"," +
                             std::to_wstring(outer.bottom - outer.top);
    if (setup.secondAddress) {
        arguments += L" --second-view " + quoted(gbkToWide(*setup.secondAddress));
    }
    if (setup.hang) {
        arguments += L" --hang";
    }
    if (setup.plainLocation) {
        arguments += L" --plain-location";
    }
    if (!setup.frameClass.empty()) {
        arguments += L" --frame-class " + quoted(gbkToWide(setup.frameClass));
    }
    arguments += L" " + quoted(gbkToWide(setup.address));
    process_ = RunningProgram::start(L"doc_view.exe", arguments);
    if (!process_) {
        failure_ = "doc_view.exe could not be started";
        return false;
    }
    return true;
}

bool DocViewProcess::findWindows(size_t expectedViews) {
    WindowSearch search{process_->processId(), frameClass_};
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

bool sendAddress(HWND frame, ULONG_PTR slot, const std::string& address) {
    std::wstring text = gbkToWide(address);
    COPYDATASTRUCT data = {};
    data.dwData = slot;
    data.cbData = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    data.lpData = text.data();
    DWORD_PTR taken = FALSE;
    return SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               kNavigateTimeoutMs, &taken) != 0 &&
           taken == TRUE;
}

bool DocViewProcess::navigate(const std::string& address, size_t viewIndex) {
    return sendAddress(frame_, viewIndex + 1, address);
}

void DocViewProcess::stop() {
    if (!process_) {
        return;
    }
    if (hang_) {
        const KernelHandle release(
            OpenEventW(EVENT_MODIFY_STATE, FALSE, docview::hangReleaseEventName(process_->processId()).c_str()));
        if (release) {
            SetEvent(release.get());
        }
    }
    process_->closeAndWait(frame_, kEndTimeoutMs);
    process_.reset();  // ends it if it is still running
    frame_ = nullptr;
    addressBar_ = nullptr;
    views_.clear();
}

}  // namespace quillane::test
