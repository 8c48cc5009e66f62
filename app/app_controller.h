#pragma once
// The event wiring of the windows: turns the member's actions into jobs for the workers, and
// each job's result into what the windows, the clipboard and the layout show. It lives on the
// window thread; the workers see only the copies a job takes along.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/result_window.h"
#include "app/workers.h"
#include "workflow/affiliate_link.h"
#include "workflow/batch_conversion.h"
#include "workflow/harvest.h"
#include "workflow/page_capture.h"
#include "workflow/rebate_lookup.h"
#include "workflow/session_state.h"

namespace quillane {

// wParam: references settled; lParam: of how many.
inline constexpr UINT kBatchProgressMessage = MainWindow::kWorkerMessageFirst;
// lParam: a job's delivery (a std::function<void()>), owned by the message; run on the window thread.
inline constexpr UINT kJobDoneMessage = MainWindow::kWorkerMessageFirst + 1;

class AppController : public MainWindowEvents {
public:
    explicit AppController(WorkerPool& workers);
    // A batch still running is told to stop; the page Home keeps is let go of on a worker.
    ~AppController() override;
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    bool openMainWindow();

    // MainWindowEvents
    void onMainWindowCreated() override;
    void onHarvestClicked() override;
    void onItemTextChanged() override;
    void onItemDoubleClicked() override;
    void onHomePressed() override;
    void onWorkerMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onProgressDue() override;
    int runsInFlight() const override { return runsInFlight_; }

    // The one result window; a new result replaces it, so the member sees only the newest.
    // Its button "打开返利链接" works only when a link was made for the item it names.
    void showResultWindow(const std::string& message, bool linkMade = true);
    // Ends the program as closing the main window does: the hot-key is released and the
    // message loop ends.
    void endProgram();

private:
    // What the member waits for shows "正在查询…" after a moment; background work does not.
    enum class Waiting { Member, Background };
    // Runs work on a worker and render with its result on the window thread. A run counts as
    // in flight until render has run.
    template <class Result>
    void startJob(Waiting waiting, std::function<Result()> work, std::function<void(Result&)> render);
    void jobOver(Waiting waiting);
    // The member waits for something while at least one wait is begun: the progress timer runs.
    void beginMemberWait();
    void endMemberWait();
    // No double-click waits for a link any more; one that waited for a link asked ahead ends
    // its wait.
    void stopAwaitingLink();

    void startHarvest();
    // A change of the item box: a pasted session is harvested, a message of several items is
    // offered for a batch, anything else is looked up.
    void lookUpBox();
    void startLink(const std::string& itemId, bool memberWaits);
    void show(const HarvestResult& result);
    // With 淘口令 checked, a made link puts the item's share text on the clipboard. What was
    // copied, when a link was made and the clipboard took it.
    std::optional<CopiedForm> show(const LinkResult& result);
    void show(const LookupResult& result);
    // A box that names two or more items starts a batch that converts them all; false when
    // it names fewer, which a single link request serves.
    bool startBatchOfBox();
    void show(const BatchResult& result);
    // An expired login brings the login view back; a newer login harvested on the way the
    // compact view.
    void showLogin(const LoginCheck& login);
    // A job's session afterwards. A newer login replaces the session (and forgets the links
    // of the old one); otherwise only the cookies that the job's replies renewed join it, and
    // only when the session is still the one the job started with.
    void adoptSession(const SessionState& after, std::uint64_t epochAtStart, bool newLogin);
    void keepLink(const std::string& itemId, const std::string& link, const ShareTokens& tokens,
                  std::uint64_t epochAtStart);
    void setStatus(const std::string& text);

    WorkerPool& workers_;
    SessionState session_;
    // Bumped whenever the session is replaced by a newer login.
    std::uint64_t sessionEpoch_ = 0;
    // Bumped by every change of the item box: a result of an older box is dropped, and a
    // lookup that had not started yet when the box changed again is not made at all.
    std::uint64_t boxGeneration_ = 0;
    std::shared_ptr<std::atomic<std::uint64_t>> newestBox_ = std::make_shared<std::atomic<std::uint64_t>>(0);
    bool boxLookupRunning_ = false;
    int boxLookupsInFlight_ = 0;
    bool boxLookupDeferred_ = false;  // the newest text waits for a box lookup to end
    // A double-click that came while the box's lookup ran: done once that lookup is in.
    bool linkAfterLookup_ = false;
    // Links made in this session, by item id; the items whose link request is in flight; the
    // item whose link a double-click waits for.
    struct KeptLink {
        std::string link;
        ShareTokens tokens;
    };
    std::map<std::string, KeptLink> links_;
    std::set<std::string> linksInFlight_;
    std::optional<std::string> awaitedLink_;
    bool awaitingAhead_ = false;  // awaitedLink_ was asked ahead, not by the double-click
    bool harvestRunning_ = false;
    bool harvestAgain_ = false;
    bool homeRunning_ = false;
    int runsInFlight_ = 0;
    int memberWaits_ = 0;
    std::optional<std::string> statusBeforeProgress_;
    // The page Home read last; only a Home job uses it, one at a time.
    std::shared_ptr<CapturedPage> lastPage_ = std::make_shared<CapturedPage>();
    MainWindow mainWindow_{*this};
    std::unique_ptr<ResultWindow> resultWindow_;
    // The message of the batch under way, as the box held it, and where its references stand.
    std::wstring batchText_;
    std::vector<ReferenceSpan> batchSpans_;
    bool batchShareTokens_ = false;  // each reference becomes its 淘口令 rather than its link
    bool batchRunning_ = false;
    std::shared_ptr<std::atomic<bool>> batchStop_;
};

}  // namespace quillane
