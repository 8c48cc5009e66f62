#pragma once
// The running program: the session state, the page-document object and the windows, from
// start to exit. It turns the member's actions into workflow runs and gives the workflow
// its view of the windows.
#include <memory>
#include <set>
#include <string>

#include "app/main_window.h"
#include "app/result_window.h"
#include "workflow/page_document.h"
#include "workflow/session_state.h"
#include "workflow/workflow_view.h"

namespace quillane {

class Program : public MainWindowEvents, public WorkflowView {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool openMainWindow();

    // MainWindowEvents
    void onMainWindowCreated() override;
    void onHarvestClicked() override;
    void onItemTextChanged() override;
    void onItemDoubleClicked() override;
    void onHomePressed() override;

    // WorkflowView
    void setStatusText(const std::string& text) override;
    std::string editBoxText() override;
    void hideBrowser() override;
    void setOuterHeight(int pixels) override;
    int showOwnedMessage(const std::string& text) override;
    void showResultWindow() override;
    bool setClipboardText(const std::string& text) override;

    // Ends the program as closing the main window does: the hot-key is released, the message
    // loop ends and the exit routine runs; the exit code is 0.
    void endProgram();

private:
    enum class WorkflowRun { Harvest, EditBoxLookup, AffiliateLink, PageCapture };
    void startRun(WorkflowRun run);
    void perform(WorkflowRun run);

    SessionState session_;
    // Declared before the windows: its creation initialises COM, which the embedded browser
    // needs, and its destruction (after the windows are gone) uninitialises it.
    PageDocument pageDocument_;
    MainWindow mainWindow_{*this};
    // The one result window; a new result replaces it, so the member sees only the newest.
    std::unique_ptr<ResultWindow> resultWindow_;
    bool running_ = false;
    std::set<WorkflowRun> pendingRuns_;  // each kind waits at most once
};

// Program start: creates the program, registers the exit routine, shows the main window
// and runs the message loop until the main window closes. Returns the exit code.
int runProgram();

}  // namespace quillane
