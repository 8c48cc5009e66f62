#pragma once
// Work whose caller stops waiting for it at a bound: a read inside a browser that hangs, a
// request that the system's network library will not let go of. The caller goes on with a
// failure; the job keeps its thread until it ends by itself. Threads held that way are few
// and counted, so that a program with a fixed set of threads never runs out of them.
#include <windows.h>

#include <functional>
#include <memory>

namespace quillane {

class BoundedRunner {
public:
    virtual ~BoundedRunner() = default;
    // Runs job on another thread and waits up to timeoutMs for it. False when it had not ended
    // by then: it goes on alone, so it must own everything it touches.
    virtual bool runWithin(std::function<void()> job, DWORD timeoutMs) = 0;
};

// At most `limit` jobs of one kind held past their caller's wait at a time. While that many are
// held, no new job of the kind starts: the caller is answered at once, as if the job had not
// ended in time. Jobs that were already running when the limit was reached may still be held
// afterwards, at most as many as run side by side.
class HeldRuns {
public:
    explicit HeldRuns(int limit);

    enum class Outcome { InTime, Late, Refused };
    // Late: the job is left to its thread; abandon ran first, on this thread, so that the job
    // can be told to stop where it can be (a request handle closed under it).
    Outcome run(BoundedRunner& runner, std::function<void()> job, DWORD timeoutMs,
                const std::function<void()>& abandon = {});
    int held() const;

    struct Count;

private:
    int limit_;
    // Shared with the jobs: a held job may end after its HeldRuns.
    std::shared_ptr<Count> count_;
};

}  // namespace quillane
