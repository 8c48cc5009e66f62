#include "app/workers.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "util/owners.h"
#include "util/timestamp.h"

namespace quillane {

// A worker waiting for a job, with the place where it is handed one.
struct IdleWorker {
    std::condition_variable wake;
    std::function<void()> job;
};

struct WorkerPool::Shared {
    std::mutex mutex;
    std::deque<std::function<void()>> jobs;  // jobs that found no idle worker
    // Most recently idle last: a job goes to the worker that waited least, so that a quiet
    // program keeps using one or two workers and the per-thread state of the rest (the
    // network library's, the script control's) is never made.
    std::vector<IdleWorker*> idle;
    bool ending = false;
    std::vector<KernelHandle> threads;
};

namespace {

// The end of a bounded run (runWithin), told to its waiting caller only once this worker is
// back among the idle ones or has taken its next job. A caller that asks again at once (the
// next request of a lookup) then finds this very worker, so a quiet program keeps using the
// same few threads instead of waking a new one, with its per-thread state, each time.
thread_local std::shared_ptr<KernelHandle> runEndToTell;

void tellRunEnd() {
    if (runEndToTell) {
        SetEvent(runEndToTell->get());
        runEndToTell.reset();
    }
}

void runJobs(WorkerPool::Shared& shared) {
    IdleWorker self;
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            if (!shared.jobs.empty()) {
                job = std::move(shared.jobs.front());
                shared.jobs.pop_front();
                tellRunEnd();
            } else {
                if (shared.ending) {
                    tellRunEnd();
                    return;
                }
                shared.idle.push_back(&self);
                tellRunEnd();
                self.wake.wait(lock, [&] { return shared.ending || self.job; });
                if (!self.job) {
                    std::erase(shared.idle, &self);
                    return;
                }
                job = std::move(self.job);
                self.job = nullptr;
            }
        }
        try {
            job();
        } catch (...) {
            // Out of memory inside a job: the job is lost, the worker stays for the next one.
        }
    }
}

DWORD WINAPI workerMain(void* parameter) {
    // The thread's share of the pool: a worker that outlives the pool object (stuck in the
    // network at the program's end) still finds the pool's state.
    const std::unique_ptr<std::shared_ptr<WorkerPool::Shared>> shared(
        static_cast<std::shared_ptr<WorkerPool::Shared>*>(parameter));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    runJobs(**shared);
    // The script control of the timestamp goes before this thread's use of COM.
    releaseTimeScript();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

// One forEach: the indices still to take, and the helpers inside the task.
struct Section {
    std::mutex mutex;
    std::condition_variable idle;
    std::atomic<std::size_t> next{0};
    std::size_t count = 0;
    const std::function<void(std::size_t)>* task = nullptr;
    int active = 0;
    bool closed = false;

    void work() {
        for (std::size_t index = next++; index < count; index = next++) {
            (*task)(index);
        }
    }
};

}  // namespace

WorkerPool::WorkerPool(std::size_t threads) : shared_(std::make_shared<Shared>()) {
    for (std::size_t made = 0; made < threads; ++made) {
        auto share = std::make_unique<std::shared_ptr<Shared>>(shared_);
        KernelHandle thread(CreateThread(nullptr, 0, workerMain, share.get(), 0, nullptr));
        if (thread) {
            share.release();  // the thread owns it now
            shared_->threads.push_back(std::move(thread));
        }
    }
}

WorkerPool::~WorkerPool() {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->ending = true;
    shared_->jobs.clear();
    for (IdleWorker* worker : shared_->idle) {
        worker->wake.notify_one();
    }
}

std::size_t WorkerPool::threadCount() const {
    return shared_->threads.size();
}

void WorkerPool::submit(std::function<void()> job) {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->idle.empty()) {
        shared_->jobs.push_back(std::move(job));
        return;
    }
    IdleWorker* worker = shared_->idle.back();
    shared_->idle.pop_back();
    worker->job = std::move(job);
    worker->wake.notify_one();
}

void WorkerPool::forEach(std::size_t count, std::size_t width, const std::function<void(std::size_t)>& task) {
    auto section = std::make_shared<Section>();
    section->count = count;
    section->task = &task;
    const std::size_t helpers = std::min(count, width) > 0 ? std::min(count, width) - 1 : 0;
    for (std::size_t helper = 0; helper < helpers; ++helper) {
        submit([section] {
            {
                const std::lock_guard<std::mutex> lock(section->mutex);
                if (section->closed) {
                    return;  // the caller did the work already; the task may be gone
                }
                ++section->active;
            }
            section->work();
            {
                const std::lock_guard<std::mutex> lock(section->mutex);
                --section->active;
            }
            section->idle.notify_all();
        });
    }
    section->work();
    std::unique_lock<std::mutex> lock(section->mutex);
    section->closed = true;
    section->idle.wait(lock, [&] { return section->active == 0; });
}

bool WorkerPool::runWithin(std::function<void()> job, DWORD timeoutMs) {
    auto done = std::make_shared<KernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!*done) {
        return false;
    }
    submit([done, job = std::move(job)] {
        try {
            job();
        } catch (...) {
            // Out of memory: the job is over all the same.
        }
        runEndToTell = done;
    });
    return WaitForSingleObject(done->get(), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace quillane
