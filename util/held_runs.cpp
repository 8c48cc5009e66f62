#include "util/held_runs.h"

#include <mutex>
#include <utility>

namespace quillane {

struct HeldRuns::Count {
    std::mutex mutex;
    int held = 0;
};

namespace {

// One run, between its job and the caller that waits for it.
struct RunState {
    bool over = false;  // the job has ended
    bool held = false;  // the caller stopped waiting first, and counted the job as held
};

}  // namespace

HeldRuns::HeldRuns(int limit) : limit_(limit), count_(std::make_shared<Count>()) {}

int HeldRuns::held() const {
    const std::lock_guard<std::mutex> lock(count_->mutex);
    return count_->held;
}

HeldRuns::Outcome HeldRuns::run(BoundedRunner& runner, std::function<void()> job, DWORD timeoutMs,
                                const std::function<void()>& abandon) {
    if (held() >= limit_) {
        return Outcome::Refused;
    }
    auto state = std::make_shared<RunState>();
    const bool inTime = runner.runWithin(
        [count = count_, state, job = std::move(job)] {
            struct Over {
                Count& count;
                RunState& state;
                ~Over() {
                    const std::lock_guard<std::mutex> lock(count.mutex);
                    state.over = true;
                    count.held -= state.held ? 1 : 0;
                }
            } over{*count, *state};
            job();
        },
        timeoutMs);
    if (inTime) {
        return Outcome::InTime;
    }
    {
        const std::lock_guard<std::mutex> lock(count_->mutex);
        if (!state->over) {
            state->held = true;
            ++count_->held;
        }
    }
    if (abandon) {
        abandon();
    }
    return Outcome::Late;
}

}  // namespace quillane
