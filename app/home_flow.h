#pragma once
// The Home key: the page under the mouse looked up with its link, and the result window that
// shows it. Home keeps its own memory (the last page it read, which a press over a window
// without a page repeats) and its own result: the window holds the link it showed.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/batch_flow.h"
#include "app/job_runner.h"
#include "app/login_keeper.h"
#include "app/main_window.h"
#include "app/result_window.h"
#include "app/status_line.h"
#include "workflow/page_capture.h"

namespace quillane {

// The one result window: a new result replaces the open one, so the member sees only the newest.
class ResultWindowSlot {
public:
    // link: what its button "打开返利链接" opens; empty when no link was made for the item the
    // message names.
    void show(const std::string& message, const std::string& link, std::function<void()> endProgram);

private:
    std::unique_ptr<ResultWindow> window_;
};

class HomeFlow {
public:
    HomeFlow(MainWindow& window, StatusLine& status, JobRunner& jobs, LoginKeeper& keeper, const BatchFlow& batch,
             std::function<void()> endProgram)
        : window_(window), status_(status), jobs_(jobs), keeper_(keeper), batch_(batch),
          endProgram_(std::move(endProgram)) {}
    // The page Home keeps is let go of on a worker.
    ~HomeFlow();
    HomeFlow(const HomeFlow&) = delete;
    HomeFlow& operator=(const HomeFlow&) = delete;

    void onHomePressed();

private:
    void show(const LookupResult& result);

    MainWindow& window_;
    StatusLine& status_;
    JobRunner& jobs_;
    LoginKeeper& keeper_;
    const BatchFlow& batch_;
    std::function<void()> endProgram_;
    bool running_ = false;
    // The page Home read last; only a Home job uses it, one at a time.
    std::shared_ptr<CapturedPage> lastPage_ = std::make_shared<CapturedPage>();
    ResultWindowSlot resultWindow_;
};

}  // namespace quillane
