#include "bench/support/flow_driver.h"

#include "app/main_window.h"
#include "bench/support/measure.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait.h"
#include "util/wide_text.h"

namespace quillane::bench {
namespace {

constexpr DWORD kFlowTimeoutMs = 20000;
// The result window of a Home lookup.
constexpr const wchar_t* kResultWindowClass = L"QuillaneResultWindow";

constexpr const char* kHarvestedIds = "101|202";
constexpr const char* kCommissionShown = "的返利是3.58元！";
constexpr const char* kLinkCopied = "返利网址已经复制成功，可以直接粘贴！";
constexpr const char* kCleared = "-";

std::wstring wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A window's text as the window system holds it, read without a message: a program busy in a
// request cannot answer one, and the text is what the member sees once it is set.
std::string heldText(HWND window) {
    wchar_t text[512] = {};
    const int length = InternalGetWindowText(window, text, 512);
    return wideToGbk(std::wstring_view(text, static_cast<std::size_t>(length > 0 ? length : 0)));
}

}  // namespace

std::optional<double> timeWhen(const std::function<bool()>& condition, DWORD timeoutMs) {
    Stopwatch watch;
    while (true) {
        if (condition()) {
            return Stopwatch::nowMs();
        }
        if (watch.elapsedMs() > timeoutMs) {
            return std::nullopt;
        }
        Sleep(1);
    }
}

FlowDriver::~FlowDriver() {
    stop();
}

std::string FlowDriver::start(int replyDelayMs) {
    inputClock_ = std::make_unique<InputClock>();
    if (!inputClock_->running()) {
        return "no low-level input hooks";
    }
    if (!sim_.start()) {
        return "platform_sim.exe did not start";
    }
    if (!sim_.logIn()) {
        return "sim_login.exe could not log the member in";
    }
    if (!sim_.set({{"delay", std::to_string(replyDelayMs)}})) {
        return "the simulator refused the reply delay";
    }
    test::EnvironmentOverrides environment;
    for (const auto& [name, value] : sim_.deploymentVariables()) {
        environment.emplace_back(wide(name), wide(value));
    }
    app_ = test::QuillaneApp::start(environment);
    if (!app_) {
        return "quillane.exe did not show its main window";
    }
    test::DocViewSetup page;
    page.address = addressWithId(0);
    docView_ = std::make_unique<test::DocViewProcess>(page);
    if (!docView_->ready()) {
        return "doc_view.exe: " + docView_->failure();
    }
    // The first harvest shrinks the window to its compact view and starts the session.
    if (!harvest()) {
        return "the first harvest: " + failure_;
    }
    return {};
}

void FlowDriver::stop() {
    docView_.reset();
    app_.reset();
    // The login cookies outlive the run in the prefix's store, which the tests share: take
    // them out again.
    if (sim_.running()) {
        sim_.logOut();
    }
    sim_.stop();
    inputClock_.reset();
}

std::string FlowDriver::addressWithId(int which) const {
    return sim_.otherUrl(std::string("/item.htm?id=") + kItemIds[which]);
}

std::string FlowDriver::addressNeedingPage(int which) const {
    return sim_.otherUrl(std::string("/i/") + kItemIds[which] + ".htm");
}

std::optional<double> FlowDriver::fail(const std::string& what) {
    failure_ = what;
    return std::nullopt;
}

HWND FlowDriver::ownedMessageBox() const {
    for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box != nullptr;
         box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        if (GetWindow(box, GW_OWNER) == app_->mainWindow() && IsWindowVisible(box)) {
            return box;
        }
    }
    return nullptr;
}

HWND FlowDriver::resultWindow() const {
    HWND window = test::findWindowOfClass(appProcessId(), kResultWindowClass);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

std::string FlowDriver::statusText() const {
    return heldText(app_->control(MainWindow::kStatusLabelId));
}

void FlowDriver::resetStatusText() {
    const std::wstring text = wide(kCleared);
    SendMessageTimeoutW(app_->control(MainWindow::kStatusLabelId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, kFlowTimeoutMs, nullptr);
}

bool FlowDriver::waitForIdle() {
    return app_->process().waitForInputIdle(kFlowTimeoutMs);
}

std::optional<double> FlowDriver::harvest() {
    resetStatusText();
    const double start = Stopwatch::nowMs();
    app_->clickButton(MainWindow::kHarvestButtonId);
    HWND box = nullptr;
    double labelAt = 0;
    // The ids reach the status label a little before the box: both are noted.
    const std::optional<double> shown = timeWhen(
        [&] {
            if (labelAt == 0 && statusText() != kCleared) {
                labelAt = Stopwatch::nowMs();
            }
            return (box = ownedMessageBox()) != nullptr;
        },
        kFlowTimeoutMs);
    if (!shown) {
        return fail("no message box after the harvest click");
    }
    const std::string status = statusText();
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (!test::waitUntil([&] { return !IsWindow(box); }, kFlowTimeoutMs) || !waitForIdle()) {
        return fail("the message box did not close");
    }
    if (!endsWith(status, kHarvestedIds)) {
        return fail("the harvest showed \"" + status + "\"");
    }
    harvestLabelMs_ = (labelAt == 0 ? *shown : labelAt) - start;
    return *shown - start;
}

std::optional<double> FlowDriver::lookup(const std::string& address) {
    HWND edit = app_->control(MainWindow::kItemEditId);
    resetStatusText();
    SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, kFlowTimeoutMs, nullptr);
    const std::wstring text = wide(address);
    // The replaced text raises the change event, as pasting does; the lookup runs inside it,
    // so the send returns once the lookup is over. The label is polled all the same.
    const double start = Stopwatch::nowMs();
    SendMessageTimeoutW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        kFlowTimeoutMs, nullptr);
    const std::optional<double> shown = timeWhen([&] { return statusText() != kCleared; }, kFlowTimeoutMs);
    if (!shown) {
        return fail("the status label did not change after the edit");
    }
    const std::string status = statusText();
    if (!endsWith(status, kCommissionShown)) {
        return fail("the lookup showed \"" + status + "\"");
    }
    return *shown - start;
}

std::optional<double> FlowDriver::link() {
    HWND edit = app_->control(MainWindow::kItemEditId);
    const POINT box = test::centreOf(test::windowRect(edit));
    test::moveMouse(box.x, box.y);
    resetStatusText();
    const InputClock::Events before = inputClock_->events();
    if (!startXdotool(L"click --repeat 2 --delay 60 1")) {
        return fail("xdotool did not start");
    }
    const std::optional<double> shown = timeWhen([&] { return statusText() == kLinkCopied; }, kFlowTimeoutMs);
    const bool released = test::waitUntil([&] { return inputClock_->events().buttonUps >= before.buttonUps + 2; });
    const InputClock::Events after = inputClock_->events();
    if (!shown) {
        return fail("the status label did not report the copied link; it shows \"" + statusText() + "\"");
    }
    if (!released || after.buttonDowns != before.buttonDowns + 2) {
        return fail("the double-click did not reach the display as two clicks");
    }
    return *shown - after.lastButtonDownMs;
}

std::optional<double> FlowDriver::home() {
    const POINT content = docView_->contentPoint();
    test::moveMouse(content.x, content.y);
    const InputClock::Events before = inputClock_->events();
    if (!startXdotool(L"key Home")) {
        return fail("xdotool did not start");
    }
    HWND window = nullptr;
    const std::optional<double> shown = timeWhen([&] { return (window = resultWindow()) != nullptr; }, kFlowTimeoutMs);
    const bool released = test::waitUntil([&] { return inputClock_->events().homeUps > before.homeUps; });
    const InputClock::Events after = inputClock_->events();
    if (!shown) {
        return fail("no result window after Home; the status label shows \"" + statusText() + "\"");
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!test::waitUntil([&] { return !IsWindow(window); }, kFlowTimeoutMs) || !waitForIdle()) {
        return fail("the result window did not close");
    }
    if (!released || after.homeDowns != before.homeDowns + 1) {
        return fail("Home did not reach the display as one press");
    }
    return *shown - after.lastHomeDownMs;
}

}  // namespace quillane::bench
