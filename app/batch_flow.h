#pragma once
// A message of several items in the box, converted with one double-click: the message as the
// box held it, where its references stand, and the batch's run until its result is copied.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/job_runner.h"
#include "app/login_keeper.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "workflow/batch_conversion.h"

namespace quillane {

class BatchFlow {
public:
    BatchFlow(MainWindow& window, StatusLine& status, JobRunner& jobs, LoginKeeper& keeper)
        : window_(window), status_(status), jobs_(jobs), keeper_(keeper) {}
    // A batch still running is told to stop.
    ~BatchFlow();
    BatchFlow(const BatchFlow&) = delete;
    BatchFlow& operator=(const BatchFlow&) = delete;

    // A box that names two or more items starts a batch that converts them all; false when it
    // names fewer, which a single link request serves.
    bool startOfBox();
    // The member waits for the batch's result: the other flows start nothing meanwhile, as
    // its result would overwrite theirs.
    bool running() const { return running_; }

private:
    void show(const BatchResult& result);

    MainWindow& window_;
    StatusLine& status_;
    JobRunner& jobs_;
    LoginKeeper& keeper_;
    std::wstring text_;
    std::vector<ReferenceSpan> spans_;
    bool shareTokens_ = false;  // each reference becomes its 淘口令 rather than its link
    bool running_ = false;
    std::shared_ptr<std::atomic<bool>> stop_;
};

}  // namespace quillane
