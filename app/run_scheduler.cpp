#include "app/run_scheduler.h"

#include <utility>

#include "app/window_system.h"

namespace quillane {

RunScheduler::RunScheduler(std::function<void(RunKind)> perform) : perform_(std::move(perform)) {}

void RunScheduler::request(RunKind kind) {
    if (running_) {
        if (kind != RunKind::PageCapture) {
            pending_.insert(kind);
        }
        return;
    }
    running_ = true;
    try {
        runWithPending(kind);
    } catch (...) {
        // A run that failed on the way must not leave the program refusing every later one.
        running_ = false;
        pending_.clear();
        throw;
    }
    running_ = false;
}

void RunScheduler::runWithPending(RunKind kind) {
    perform_(kind);
    do {
        while (!pending_.empty()) {
            const RunKind next = *pending_.begin();
            pending_.erase(pending_.begin());
            perform_(next);
        }
        // Home presses made while the runs were blocked in the network are dropped too, as
        // those that came during their message processing were: a hammered Home key gives one
        // capture, not one for every press, long after the member has stopped. Looking into
        // the queue delivers messages sent from other threads, which may defer a run again.
        discardQueuedHotKeyPresses();
    } while (!pending_.empty());
}

}  // namespace quillane
