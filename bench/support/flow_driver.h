#pragma once
// The member's flows in the real quillane.exe against the simulated platform, each timed from
// the member's action to what the member sees:
//   harvest      click on "获取关键信息"        -> the owned message box is shown
//   lookup       a change of the item edit box -> the status label shows the commission
//   link         a new item looked up, then a double-click on the edit box -> the status label
//                says the link is copied (the link was asked for after the lookup)
//   home         Home over the document view   -> the result window is shown
//   homeAt       Home at a point (another browser's page) -> the result window is shown
// Every run checks that it really showed the expected result; a run that did not is a failure.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bench/support/input_clock.h"
#include "harness/doc_view_client.h"
#include "harness/platform_session.h"

namespace quillane::bench {

// The item every flow looks up, and a second one so that consecutive edits always change
// the box.
inline constexpr const char* kItemIds[2] = {"52034767890", "60012345678"};

class FlowDriver {
public:
    FlowDriver() = default;
    FlowDriver(const FlowDriver&) = delete;
    FlowDriver& operator=(const FlowDriver&) = delete;
    ~FlowDriver();

    // Starts the simulator with every reply held back delayMs, logs the member in, starts
    // quillane.exe pointed at the simulator and a document view showing an item page, and
    // harvests once so that the later flows have a session. Empty on success, else what failed.
    std::string start(int replyDelayMs);
    // Ends the programs and logs the member out of the prefix's shared cookie store.
    void stop();

    test::PlatformSim& sim() { return session_->sim(); }
    DWORD appProcessId() const { return session_->processId(); }

    // Item addresses: with the id in the address, or a page that names the id only in its text.
    std::string addressWithId(int which);
    std::string addressNeedingPage(int which);
    // The marketplace app's share text, whose short link's page hands off to the item's
    // mobile page (one fetch), and another member's affiliate link (three fetches).
    std::string shareText(int which);
    std::string affiliateLink(int which);

    // Each returns the latency in milliseconds, or nothing when the expected result did not
    // appear (failure() then says what happened, in UTF-8).
    std::optional<double> harvest();
    std::optional<double> lookup(const std::string& address);
    std::optional<double> link();
    // While a search is held back for holdMs, the slowest answer of the main window to a
    // message sent from here, in milliseconds.
    std::optional<double> slowestAnswerDuringSilentSearch(DWORD holdMs);
    // A double-click on the edit box -> the status label shows the text.
    std::optional<double> doubleClickUntil(const std::string& status);
    // Puts the text into the edit box as a paste does; returns what the status label then shows.
    std::string paste(const std::string& text);
    std::optional<double> home();
    std::optional<double> homeAt(POINT point);

    const std::string& failure() const { return failure_; }
    // For the last harvest: from the click to the ids in the status label, which the box follows.
    double harvestLabelMs() const { return harvestLabelMs_; }

private:
    std::optional<double> fail(const std::string& what);
    HWND resultWindow() const;
    std::string statusText() const;
    void clearStatusText();

    std::unique_ptr<InputClock> inputClock_;
    std::unique_ptr<test::PlatformSession> session_;
    std::unique_ptr<test::DocViewProcess> docView_;
    std::string failure_;
    double harvestLabelMs_ = 0;
    long long itemsLinked_ = 0;
};

// The performance-counter time at which condition first held, polled about every
// millisecond; nothing when timeoutMs passed first.
std::optional<double> timeWhen(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

}  // namespace quillane::bench
