#include "bench/support/flow_driver.h"

#include <algorithm>

#include "app/main_window.h"
#include "app/result_window.h"
#include "bench/support/measure.h"
#include "workflow/member_texts.h"
#include "workflow/service_paths.h"
#include "harness/message_box.h"
#include "harness/ui_driver.h"
#include "harness/wait.h"
#include "util/wide_text.h"

namespace quillane::bench {
namespace {

constexpr DWORD kFlowTimeoutMs = 20000;

constexpr const char* kHarvestedIds = "101|202";
constexpr const char* kCommission = "3.58";
// Put into the status label before a run, so that the run's own text is seen to arrive.
constexpr const char* kCleared = "-";

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

// The report is UTF-8; the program's texts are GBK.
std::string forReport(const std::string& gbk) {
    return gbkToUtf8(gbk);
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
    session_ = std::make_unique<test::PlatformSession>();
    if (!session_->ready()) {
        return "the simulated platform, the login or quillane.exe did not start";
    }
    if (!sim().set({{"delay", std::to_string(replyDelayMs)}})) {
        return "the simulator refused the reply delay";
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
    session_.reset();
    inputClock_.reset();
}

std::string FlowDriver::addressWithId(int which) {
    return sim().otherUrl(std::string("/item.htm?id=") + kItemIds[which]);
}

std::string FlowDriver::addressNeedingPage(int which) {
    return sim().otherUrl(std::string("/i/") + kItemIds[which] + ".htm");
}

std::string FlowDriver::shareText(int which) {
    // Two tk values, so that consecutive edits always change the box.
    return "【淘宝】" + sim().otherUrl("/h.5zxz3j69cN5go4k?tk=XUymWKIqxI" + std::to_string(which)) +
           " MF6563 「CONVERSE 匡威 经典款 帆布鞋」\r\n点击链接直接打开 或者 淘宝搜索直接打开";
}

std::string FlowDriver::affiliateLink(int which) {
    return sim().otherUrl(std::string("/t?e=m%3D2%26s%3DAbC123%26i%3D") + kItemIds[which]);
}

std::optional<double> FlowDriver::fail(const std::string& what) {
    failure_ = what;
    return std::nullopt;
}

HWND FlowDriver::resultWindow() const {
    return test::findWindowOfClass(appProcessId(), ResultWindow::kClassName);
}

std::string FlowDriver::statusText() const {
    return heldText(session_->app().control(MainWindow::kStatusLabelId));
}

void FlowDriver::clearStatusText() {
    const std::wstring text = gbkToWide(kCleared);
    SendMessageTimeoutW(session_->app().control(MainWindow::kStatusLabelId), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kFlowTimeoutMs, nullptr);
}

std::optional<double> FlowDriver::harvest() {
    clearStatusText();
    const double start = Stopwatch::nowMs();
    session_->app().clickButton(MainWindow::kHarvestButtonId);
    HWND box = nullptr;
    double labelAt = 0;
    // The ids reach the status label a little before the box: both are noted.
    const std::optional<double> shown = timeWhen(
        [&] {
            if (labelAt == 0 && statusText() != kCleared) {
                labelAt = Stopwatch::nowMs();
            }
            return (box = test::findMessageBox(appProcessId())) != nullptr;
        },
        kFlowTimeoutMs);
    if (!shown) {
        return fail("no message box after the harvest click");
    }
    const std::string status = statusText();
    const std::string message = test::readMessageBox(box).text;
    test::pressMessageBoxButton(box, IDOK);
    if (!test::waitUntil([&] { return !IsWindow(box); }, kFlowTimeoutMs)) {
        return fail("the message box did not close");
    }
    session_->waitUntilIdle();
    if (status != std::string(kIdsPrefix) + kHarvestedIds || message != kHarvestSuccess) {
        return fail("the harvest showed \"" + forReport(status) + "\" and \"" + forReport(message) + "\"");
    }
    harvestLabelMs_ = (labelAt == 0 ? *shown : labelAt) - start;
    return *shown - start;
}

std::optional<double> FlowDriver::lookup(const std::string& address) {
    clearStatusText();
    // The paste as the box takes it (one change); the lookup runs on a worker meanwhile, and a
    // found item's link is asked for after the label shows, which the member does not wait for.
    const std::wstring text = gbkToWide(address);
    HWND box = session_->app().control(MainWindow::kItemEditId);
    SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, kFlowTimeoutMs, nullptr);
    const double start = Stopwatch::nowMs();
    SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kFlowTimeoutMs,
                        nullptr);
    // "正在查询…" after 300 ms is no result.
    const std::optional<double> shown =
        timeWhen([&] { return statusText() != kCleared && statusText() != kQuerying; }, kFlowTimeoutMs);
    session_->waitUntilIdle();
    if (!shown) {
        return fail("the status label did not change after the edit");
    }
    const std::string status = statusText();
    if (!endsWith(status, std::string(kRebateIs) + kCommission + kYuan)) {
        return fail("the lookup showed \"" + forReport(status) + "\"");
    }
    return *shown - start;
}

std::optional<double> FlowDriver::link() {
    // An item whose link is not kept yet: its lookup asks for it, and the member double-clicks
    // once the lookup is shown, as members do.
    // No click into the box first: a click just before the double-click would pair with its
    // first press.
    const std::string itemId = std::to_string(70000000000 + ++itemsLinked_);
    if (!session_->pasteItemText(sim().otherUrl("/item.htm?id=" + itemId))) {
        return fail("the lookup before the double-click did not end");
    }
    return doubleClickUntil(kLinkCopied);
}

std::optional<double> FlowDriver::slowestAnswerDuringSilentSearch(DWORD holdMs) {
    if (!sim().set({{"fault", "delay:" + std::to_string(holdMs)}, {"on", "search"}, {"times", "1"}})) {
        return fail("the simulator took no delay");
    }
    const std::size_t searches = sim().requestsTo(kSearchPath).size();
    const std::wstring address = gbkToWide(addressWithId(0));
    HWND box = session_->app().control(MainWindow::kItemEditId);
    SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, kFlowTimeoutMs, nullptr);
    SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(address.c_str()), SMTO_NORMAL,
                        kFlowTimeoutMs, nullptr);
    if (!test::waitUntil([&] { return sim().requestsTo(kSearchPath).size() > searches; })) {
        return fail("the search did not go out");
    }
    double slowest = 0;
    const double end = Stopwatch::nowMs() + holdMs - 100;
    while (Stopwatch::nowMs() < end) {
        const double sent = Stopwatch::nowMs();
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(session_->app().mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, holdMs, &ignored)) {
            return fail("the window did not answer during the silent search");
        }
        slowest = std::max(slowest, Stopwatch::nowMs() - sent);
        Sleep(5);
    }
    session_->waitUntilIdle();
    return slowest;
}

std::string FlowDriver::paste(const std::string& text) {
    session_->focusItemBox();
    session_->pasteItemText(text);
    return statusText();
}

std::optional<double> FlowDriver::doubleClickUntil(const std::string& status) {
    const POINT box = session_->app().controlCentre(MainWindow::kItemEditId);
    test::moveMouse(box.x, box.y);
    clearStatusText();
    const InputClock::Events before = inputClock_->events();
    if (!startXdotool(L"click --repeat 2 --delay 60 1")) {
        return fail("xdotool did not start");
    }
    const std::optional<double> shown = timeWhen([&] { return statusText() == status; }, kFlowTimeoutMs);
    const bool released = test::waitUntil([&] { return inputClock_->events().buttonUps >= before.buttonUps + 2; });
    const InputClock::Events after = inputClock_->events();
    if (!shown) {
        return fail("the status label did not show \"" + forReport(status) + "\"; it shows \"" +
                    forReport(statusText()) + "\"");
    }
    session_->waitUntilIdle();
    if (!released || after.buttonDowns != before.buttonDowns + 2) {
        return fail("the double-click did not reach the display as two clicks");
    }
    // The double-click is the second press.
    return *shown - after.lastButtonDownMs;
}

std::optional<double> FlowDriver::home() {
    return homeAt(docView_->contentPoint());
}

std::optional<double> FlowDriver::homeAt(POINT point) {
    test::moveMouse(point.x, point.y);
    const InputClock::Events before = inputClock_->events();
    if (!startXdotool(L"key Home")) {
        return fail("xdotool did not start");
    }
    HWND window = nullptr;
    const std::optional<double> shown = timeWhen([&] { return (window = resultWindow()) != nullptr; }, kFlowTimeoutMs);
    const bool released = test::waitUntil([&] { return inputClock_->events().homeUps > before.homeUps; });
    const InputClock::Events after = inputClock_->events();
    if (!shown) {
        return fail("no result window after Home; the status label shows \"" + forReport(statusText()) + "\"");
    }
    const std::string message = heldText(GetDlgItem(window, ResultWindow::kMessageLabelId));
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!test::waitUntil([&] { return !IsWindow(window); }, kFlowTimeoutMs)) {
        return fail("the result window did not close");
    }
    session_->waitUntilIdle();
    if (!endsWith(message, std::string(kRebateIs) + kCommission + kYuanAndCopied)) {
        return fail("the result window showed \"" + forReport(message) + "\"");
    }
    if (!released || after.homeDowns != before.homeDowns + 1) {
        return fail("Home did not reach the display as one press");
    }
    return *shown - after.lastHomeDownMs;
}

}  // namespace quillane::bench
