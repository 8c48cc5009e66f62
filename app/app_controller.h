#pragma once
// The event wiring of the windows: turns the member's actions into workflow runs, and each
// run's result into what the windows, the clipboard and the layout show.
#include <memory>
#include <optional>
#include <string>

#include "app/batch_runner.h"
#include "app/main_window.h"
#include "app/result_window.h"
#include "app/run_scheduler.h"
#include "workflow/harvest.h"
#include "workflow/page_capture.h"
#include "workflow/rebate_lookup.h"
#include "workflow/session_state.h"

namespace quillane {

class AppController : public MainWindowEvents {
public:
    AppController() = default;
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

    // The one result window; a new result replaces it, so the member sees only the newest.
    // Its button "打开返利链接" works only when a link was made for the item it names.
    void showResultWindow(const std::string& message, bool linkMade = true);
    // Ends the program as closing the main window does: the hot-key is released and the
    // message loop ends.
    void endProgram();

private:
    void perform(RunKind run);
    // A change of the item box: a pasted session is harvested, a message of several items is
    // offered for a batch, anything else is looked up.
    void lookUpBox();
    void show(const HarvestResult& result);
    // With shareTokens (淘口令 checked) a made link puts the item's share text on the
    // clipboard. What was copied, when a link was made and the clipboard took it.
    std::optional<CopiedForm> show(const LinkResult& result, bool shareTokens);
    void show(const LookupResult& result, bool shareTokens);
    // A box that names two or more items starts a batch that converts them all; false when
    // it names fewer, which a single link request serves.
    bool startBatchOfBox(bool shareTokens);
    void show(const BatchResult& result);
    // An expired login brings the login view back; a newer login harvested on the way the
    // compact view.
    void showLogin(const LoginCheck& login);

    SessionState session_;
    // Declared before the windows, so that the document it may hold goes after them.
    CapturedPage lastPage_;
    MainWindow mainWindow_{*this};
    std::unique_ptr<ResultWindow> resultWindow_;
    RunScheduler scheduler_{[this](RunKind run) { perform(run); }};
    // The message of the batch under way, as the box held it, and where its references stand.
    std::wstring batchText_;
    std::vector<ReferenceSpan> batchSpans_;
    bool batchShareTokens_ = false;  // each reference becomes its 淘口令 rather than its link
    BatchRunner batch_;
};

}  // namespace quillane
