#include "harness/platform_session.h"

#include <algorithm>

#include "app/display_scale.h"
#include "app/main_window.h"
#include "app/result_window.h"
#include "harness/wait.h"
#include "util/wide_text.h"
#include "workflow/service_paths.h"

namespace quillane::test {

EnvironmentOverrides toEnvironment(const std::vector<std::pair<std::string, std::string>>& variables) {
    EnvironmentOverrides environment;
    for (const auto& [name, value] : variables) {
        environment.emplace_back(gbkToWide(name), gbkToWide(value));
    }
    return environment;
}

PlatformSession::PlatformSession(bool loggedIn, const EnvironmentOverrides& extra) {
    if (!sim_.start()) {
        failure_ = "the simulator did not start";
        return;
    }
    if (!(loggedIn ? sim_.logIn() : sim_.logOut())) {
        failure_ = "the member's login did not work";
        return;
    }
    EnvironmentOverrides environment = toEnvironment(sim_.deploymentVariables());
    environment.insert(environment.end(), extra.begin(), extra.end());
    app_ = QuillaneApp::start(environment);
    if (!app_) {
        failure_ = "quillane.exe showed no main window";
        return;
    }
    // quillane.exe asks for the publisher's notice once, on a worker, after its window shows:
    // on a busy machine that request may come after a test has cleared the simulator's log to
    // count the requests of the member's actions. The session is ready once it has come.
    const bool noticeAtSimulator = std::none_of(extra.begin(), extra.end(), [](const auto& variable) {
        return variable.first == L"QUILLANE_NOTICE_URL";
    });
    if (noticeAtSimulator && !waitUntil([&] { return !sim_.requestsTo(kSimNoticePath).empty(); }, kIdleTimeoutMs)) {
        failure_ = "quillane.exe did not ask for the notice";
        app_.reset();
    }
}

PlatformSession::~PlatformSession() {
    app_.reset();
    if (sim_.running()) {
        sim_.logOut();
    }
}

MessageBoxSeen PlatformSession::harvest() {
    app_->clickButton(MainWindow::kHarvestButtonId);
    MessageBoxSeen seen;
    HWND box = waitForMessageBox(processId());
    if (box == nullptr) {
        return seen;
    }
    seen = readMessageBox(box);
    pressMessageBoxButton(box, IDOK);
    waitUntil([&] { return !IsWindow(box); });
    return seen;
}

bool PlatformSession::pasteItemText(const std::string& gbk, DWORD timeoutMs) {
    return pasteItemText(gbkToWide(gbk), timeoutMs);
}

bool PlatformSession::pasteItemText(const std::wstring& text, DWORD timeoutMs) {
    HWND box = app_->control(MainWindow::kItemEditId);
    // WM_SETTEXT raises no change; EM_REPLACESEL raises one, as a paste does. Once the sent
    // change is handled, its lookup is in flight; the run is over when none is.
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, timeoutMs, &ignored) &&
           SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, timeoutMs,
                               &ignored) &&
           waitUntilIdle(timeoutMs);
}

void PlatformSession::startPaste(const std::string& gbk) {
    const std::wstring text = gbkToWide(gbk);
    HWND box = app_->control(MainWindow::kItemEditId);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, 5000, &ignored);
    SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000, &ignored);
}

void PlatformSession::startDoubleClick() {
    const POINT centre = app_->controlCentre(MainWindow::kItemEditId);
    doubleClickAt(centre.x, centre.y);
}

bool PlatformSession::endsAtEscape(DWORD timeoutMs, DWORD* exitCode) {
    const POINT centre = centreOf(windowRect(app_->mainWindow()));
    moveMouse(centre.x, centre.y);
    pressKeys(L"Escape");
    return app_->process().waitForExit(timeoutMs, exitCode);
}

bool PlatformSession::focusItemBox() {
    HWND box = app_->control(MainWindow::kItemEditId);
    const auto focused = [&] { return focusInThreadOf(box) == box; };
    if (focused()) {
        return true;
    }
    const POINT centre = app_->controlCentre(MainWindow::kItemEditId);
    clickAt(centre.x, centre.y);
    return waitUntil(focused);
}

bool PlatformSession::doubleClickItemBox(DWORD timeoutMs) {
    // Every double-click ends in a status text (a link copied, kept or failed, a batch), so the
    // label is emptied first: a text again, and no run in flight, is the double-click's end.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(app_->control(MainWindow::kStatusLabelId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""),
                        SMTO_NORMAL, timeoutMs, &ignored);
    const POINT centre = app_->controlCentre(MainWindow::kItemEditId);
    doubleClickAt(centre.x, centre.y);
    return waitUntil([&] { return !status().empty() && runsInFlight() == 0; }, timeoutMs);
}

HWND PlatformSession::pressHomeAt(POINT point) {
    moveMouse(point.x, point.y);
    pressKeys(L"Home");
    HWND result = waitForWindowOfClass(processId(), ResultWindow::kClassName);
    waitUntilIdle();
    return result;
}

std::string PlatformSession::lastSearchedId() {
    const auto searches = sim_.requestsTo(kSearchPath);
    if (searches.empty()) {
        return "(no search)";
    }
    const std::string q = searches.back().queryValue("q").value_or("");
    const std::size_t id = q.rfind("id%3D");
    return id == std::string::npos ? "" : q.substr(id + 5);
}

// The heights at the display's scale, as this process sees the window (a process unaware of the
// scale is shown it at 96 DPI).
bool PlatformSession::loginViewShown() const {
    return browserShown() && mainWindowHeight() == scaledToDpi(MainWindow::kOuterHeight, systemDpi());
}

bool PlatformSession::compactViewShown() const {
    return !browserShown() && mainWindowHeight() == scaledToDpi(MainWindow::kCompactHeight, systemDpi());
}

bool PlatformSession::browserShown() const {
    return IsWindowVisible(app_->control(MainWindow::kBrowserId)) != FALSE;
}

int PlatformSession::mainWindowHeight() const {
    const RECT rect = windowRect(app_->mainWindow());
    return rect.bottom - rect.top;
}

std::string PlatformSession::status() const {
    return app_->controlText(MainWindow::kStatusLabelId);
}

bool PlatformSession::waitForStatus(const std::string& gbk, DWORD timeoutMs) const {
    return waitUntil([&] { return status() == gbk; }, timeoutMs);
}

int PlatformSession::runsInFlight() const {
    DWORD_PTR runs = 0;
    if (!SendMessageTimeoutW(app_->mainWindow(), RegisterWindowMessageW(MainWindow::kRunsInFlightMessage), 0, 0,
                             SMTO_NORMAL, kRespondMs, &runs)) {
        return -1;
    }
    return static_cast<int>(runs);
}

bool PlatformSession::answersWithin(DWORD boundMs) const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(app_->mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, boundMs, &ignored) != 0;
}

bool PlatformSession::waitUntilIdle(DWORD timeoutMs) const {
    return waitUntil([&] { return runsInFlight() == 0; }, timeoutMs);
}

std::string resultText(HWND resultWindow) {
    return windowText(GetDlgItem(resultWindow, ResultWindow::kMessageLabelId));
}

bool openLinkEnabled(HWND resultWindow) {
    return IsWindowEnabled(GetDlgItem(resultWindow, ResultWindow::kOpenLinkButtonId)) != FALSE;
}

void closeResultWindow(HWND resultWindow) {
    PostMessageW(resultWindow, WM_CLOSE, 0, 0);
    waitUntil([&] { return !IsWindow(resultWindow); });
}

}  // namespace quillane::test
