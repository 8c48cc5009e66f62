#include "harness/platform_session.h"

#include "app/main_window.h"
#include "harness/wait.h"
#include "util/wide_text.h"

namespace quillane::test {
namespace {

constexpr const char* kLinkServicePath = "/common/code/getAuctionCode.json";

}  // namespace

EnvironmentOverrides toEnvironment(const std::vector<std::pair<std::string, std::string>>& variables) {
    EnvironmentOverrides environment;
    for (const auto& [name, value] : variables) {
        environment.emplace_back(gbkToWide(name), gbkToWide(value));
    }
    return environment;
}

PlatformSession::PlatformSession(bool loggedIn, const EnvironmentOverrides& extra) {
    if (!sim_.start() || !(loggedIn ? sim_.logIn() : sim_.logOut())) {
        return;
    }
    EnvironmentOverrides environment = toEnvironment(sim_.deploymentVariables());
    environment.insert(environment.end(), extra.begin(), extra.end());
    app_ = QuillaneApp::start(environment);
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
    // WM_SETTEXT raises no change; EM_REPLACESEL raises one, as a paste does. Sent, so the
    // call returns after the lookup has run.
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, timeoutMs, &ignored) &&
           SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, timeoutMs,
                               &ignored);
}

bool PlatformSession::focusItemBox() {
    HWND box = app_->control(MainWindow::kItemEditId);
    const DWORD thread = GetWindowThreadProcessId(box, nullptr);
    const auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && info.hwndFocus == box;
    };
    if (focused()) {
        return true;
    }
    const POINT centre = app_->controlCentre(MainWindow::kItemEditId);
    clickAt(centre.x, centre.y);
    return waitUntil(focused);
}

bool PlatformSession::doubleClickItemBox(DWORD timeoutMs) {
    const std::size_t linkRequestsBefore = sim_.requestsTo(kLinkServicePath).size();
    const POINT centre = app_->controlCentre(MainWindow::kItemEditId);
    doubleClickAt(centre.x, centre.y);
    const bool requested =
        waitUntil([&] { return sim_.requestsTo(kLinkServicePath).size() > linkRequestsBefore; });
    return waitUntilIdle(timeoutMs) && requested;
}

std::string PlatformSession::status() const {
    return app_->controlText(MainWindow::kStatusLabelId);
}

bool PlatformSession::waitForStatus(const std::string& gbk, DWORD timeoutMs) const {
    return waitUntil([&] { return status() == gbk; }, timeoutMs);
}

bool PlatformSession::waitUntilIdle(DWORD timeoutMs) const {
    // A sent message is handled when the program is back in its message loop, that is once
    // the run that is blocking it is over.
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(app_->mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

}  // namespace quillane::test
