#pragma once
// The event wiring of the main window: each of the member's actions goes to the flow that owns
// its state (the box, Home, the login, the batch), and the flows share only the login keeper
// and the status line. It lives on the window thread; the workers see only the copies a job
// takes along, and results come back through the program's dispatcher.
#include "app/batch_flow.h"
#include "app/box_flow.h"
#include "app/home_flow.h"
#include "app/job_runner.h"
#include "app/login_flow.h"
#include "app/login_keeper.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "app/ui_dispatcher.h"
#include "app/workers.h"

namespace quillane {

class AppController : public MainWindowEvents {
public:
    AppController(WorkerPool& workers, const UiDispatcher& dispatcher);
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    bool openMainWindow();

    // MainWindowEvents
    void onMainWindowCreated() override;
    void onHarvestClicked() override { login_.onHarvestClicked(); }
    void onItemTextChanged() override { box_.onTextChanged(); }
    void onItemDoubleClicked() override { box_.onDoubleClicked(); }
    void onHomePressed() override { home_.onHomePressed(); }
    void onProgressDue() override { status_.onProgressDue(); }
    int runsInFlight() const override { return jobs_.runsInFlight(); }

    // Ends the program as closing the main window does: the hot-key is released and the
    // message loop ends.
    void endProgram();

private:
    MainWindow mainWindow_{*this};
    StatusLine status_{mainWindow_};
    JobRunner jobs_;
    LoginKeeper keeper_;
    LoginFlow login_{mainWindow_, status_, jobs_, keeper_};
    BatchFlow batch_{mainWindow_, status_, jobs_, keeper_};
    BoxFlow box_{mainWindow_, status_, jobs_, keeper_, batch_, login_};
    HomeFlow home_{mainWindow_, status_, jobs_, keeper_, batch_, [this] { endProgram(); }};
};

}  // namespace quillane
