#pragma once
// The flows' one way to the workers and back: a job runs on a worker, and its result comes
// back to the window thread through the dispatcher, as a value the render step owns. A run
// counts as in flight from its start until its render has run.
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "app/status_line.h"
#include "app/ui_dispatcher.h"
#include "app/workers.h"

namespace quillane {

// What the member waits for shows "正在查询…" after a moment; background work does not.
enum class Waiting { Member, Background };

class JobRunner {
public:
    JobRunner(WorkerPool& workers, UiDispatcher::Poster poster, StatusLine& status)
        : workers_(workers), poster_(poster), status_(status) {}

    // The window whose life bounds every render: a result that comes back after it closed is
    // dropped.
    void bindToWindow(HWND window) { window_ = window; }

    template <class Result>
    void start(Waiting waiting, std::function<Result()> work, std::function<void(Result&)> render) {
        ++runsInFlight_;
        if (waiting == Waiting::Member) {
            status_.beginMemberWait();
        }
        workers_.submit([poster = poster_, window = window_, work = std::move(work), render = std::move(render),
                         over = [this, waiting] { jobOver(waiting); }] {
            auto result = std::make_shared<Result>();
            try {
                *result = work();
            } catch (...) {
                // Out of memory on the way: the run ends with an empty result, which claims nothing.
                *result = Result{};
            }
            poster.post(window, [render, over, result] {
                over();
                render(*result);
            });
        });
    }

    // For a worker to post more than its result with (a batch's progress): a copy that stays
    // safe after the runner is gone. What it posts runs on the window thread while the bound
    // window lives.
    std::function<void(std::function<void()>)> windowPost() const {
        return [poster = poster_, window = window_](std::function<void()> task) { poster.post(window, std::move(task)); };
    }

    WorkerPool& workers() { return workers_; }
    int runsInFlight() const { return runsInFlight_; }

private:
    void jobOver(Waiting waiting) {
        --runsInFlight_;
        if (waiting == Waiting::Member) {
            status_.endMemberWait();
        }
    }

    WorkerPool& workers_;
    UiDispatcher::Poster poster_;
    StatusLine& status_;
    HWND window_ = nullptr;
    int runsInFlight_ = 0;
};

}  // namespace quillane
