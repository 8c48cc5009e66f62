#include "harness/browser_view_client.h"

#include "sim/browser_view/protocol.h"
#include "harness/doc_view_client.h"
#include "harness/wait.h"
#include "util/wide_text.h"

namespace quillane::test {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kEndTimeoutMs = 10000;
constexpr UINT kMessageTimeoutMs = 5000;

}  // namespace

BrowserViewProcess::BrowserViewProcess(const BrowserViewSetup& setup) {
    const RECT& outer = setup.frame;
    const wchar_t* kind = setup.kind == BrowserViewKind::Firefox  ? L"firefox"
                          : setup.kind == BrowserViewKind::NoPage ? L"no-page"
                                                                  : L"chromium";
    std::wstring arguments = std::wstring(L"--kind ") + kind + L" --rect " +
                             std::to_wstring(outer.left) + L"," + std::to_wstring(outer.top) + L"," +
                             std::to_wstring(outer.right - outer.left) + L"," +
                             std::to_wstring(outer.bottom - outer.top) + L" --wake-delay " +
                             std::to_wstring(setup.wakeDelayMs);
    if (setup.neverFills) {
        arguments += L" --never-fills";
    }
    if (setup.silent) {
        arguments += L" --silent";
    }
    if (setup.extraElements > 0) {
        arguments += L" --extra-elements " + std::to_wstring(setup.extraElements);
    }
    if (!setup.frameClass.empty()) {
        arguments += L" --frame-class " + quoted(gbkToWide(setup.frameClass));
    }
    if (!setup.barName.empty()) {
        arguments += L" --bar-name " + quoted(gbkToWide(setup.barName));
    }
    arguments += L" " + quoted(gbkToWide(setup.address));
    process_ = RunningProgram::start(L"browser_view.exe", arguments);
    if (!process_) {
        failure_ = "browser_view.exe could not be started";
        return;
    }
    const std::wstring frameClass = !setup.frameClass.empty()                 ? gbkToWide(setup.frameClass)
                                    : setup.kind == BrowserViewKind::Firefox ? browserview::kFirefoxClass
                                                                             : browserview::kChromiumFrameClass;
    const std::wstring pageClass = setup.kind == BrowserViewKind::Firefox  ? browserview::kFirefoxClass
                                   : setup.kind == BrowserViewKind::NoPage ? browserview::kNoPageChildClass
                                                                           : browserview::kChromiumPageClass;
    const bool found = waitUntil(
        [&] {
            frame_ = findWindowOfClass(process_->processId(), frameClass);
            page_ = frame_ != nullptr ? FindWindowExW(frame_, nullptr, pageClass.c_str(), nullptr) : nullptr;
            return page_ != nullptr;
        },
        kStartTimeoutMs);
    if (!found) {
        failure_ = "browser_view.exe started but its windows did not appear";
        stop();
    }
}

BrowserViewProcess::~BrowserViewProcess() {
    stop();
}

POINT BrowserViewProcess::contentPoint() const {
    return centreOf(windowRect(page_));
}

POINT BrowserViewProcess::toolbarPoint() const {
    const RECT page = windowRect(page_);
    return {(page.left + page.right) / 2, page.top - browserview::kToolbarHeight / 2};
}

bool BrowserViewProcess::navigate(const std::string& address) {
    return sendAddress(frame_, 1, address);
}

long BrowserViewProcess::callsServed(bool reset) const {
    DWORD_PTR served = 0;
    if (!SendMessageTimeoutW(frame_, RegisterWindowMessageW(browserview::kCallCountMessage), reset ? 1 : 0, 0,
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &served)) {
        return -1;
    }
    return static_cast<long>(served);
}

void BrowserViewProcess::stop() {
    if (!process_) {
        return;
    }
    process_->closeAndWait(frame_, kEndTimeoutMs);
    process_.reset();  // ends it if it is still running
    frame_ = nullptr;
    page_ = nullptr;
}

}  // namespace quillane::test
