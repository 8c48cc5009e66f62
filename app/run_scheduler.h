#pragma once
// One workflow run at a time. A run blocks the thread in network calls, and some of its
// steps (the document search, a modal box) let messages run; a member's action that arrives
// meanwhile must not start a second run inside the first.
#include <functional>
#include <set>

namespace quillane {

enum class RunKind { Harvest, EditBoxLookup, AffiliateLink, PageCapture };

class RunScheduler {
public:
    explicit RunScheduler(std::function<void(RunKind)> perform);
    RunScheduler(const RunScheduler&) = delete;
    RunScheduler& operator=(const RunScheduler&) = delete;

    // Runs the kind now; inside a run, once that run is over. A Home press inside a run is
    // dropped (the member presses again); each other kind waits at most once.
    void request(RunKind kind);
    bool running() const { return running_; }

private:
    void runWithPending(RunKind kind);

    std::function<void(RunKind)> perform_;
    bool running_ = false;
    std::set<RunKind> pending_;
};

}  // namespace quillane
