#pragma once
// The running program: the session state, the page-document object and the windows, from
// start to exit. It turns the member's actions into workflow runs and gives the workflow
// its view of the windows.
#include <set>
#include <string>

#include "app/main_window.h"
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

private:
    enum class WorkflowRun { Harvest, EditBoxLookup, AffiliateLink, PageCapture };
    void startRun(WorkflowRun run);
    void perform(WorkflowRun run);

    SessionState session_;
    // Declared before the windows: its creation initialises COM, which the embedded browser
    // needs, and its destruction (after the windows are gone) uninitialises it.
    PageDocument pageDocument_;
    MainWindow mainWindow_{*this};
    bool running_ = false;
    std::set<WorkflowRun> pendingRuns_;  // each kind waits at most once
};

// Program start: creates the program, registers the exit routine, shows the main window
// and runs the message loop until the main window closes. Returns the exit code.
int runProgram();

}  // namespace quillane
