#pragma once
// The program's worker threads: made at start, kept for the program's whole life, ended with
// its process. Everything that waits on the network or on another program runs here; the
// window thread only hands jobs over and renders what comes back.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>

#include "workflow/parallel_work.h"

namespace quillane {

// Threads of the program's pool. Each request takes a worker of its own besides the one of its
// caller, which waits for it at most its time-out. All of these fit at once: a batch's four
// requests (8), two box lookups (4), a link, a harvest and the notice (2 each), two reads stuck
// in a hung browser and two requests the system holds past their time-out (see page capture
// and the request engine's bounds): 22.
inline constexpr std::size_t kWorkerThreads = 24;

class WorkerPool final : public ParallelWork {
public:
    // Each thread joins the process's multithreaded COM apartment, so that a browser's object
    // taken on one worker can be used on any other.
    explicit WorkerPool(std::size_t threads = kWorkerThreads);
    // Idle workers end; busy ones are not waited for: a request blocked in the network or a
    // call into a hung browser ends with the process.
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues the job for the next free worker. A job that throws is dropped with its exception.
    void submit(std::function<void()> job);
    std::size_t threadCount() const;

    void forEach(std::size_t count, std::size_t width, const std::function<void(std::size_t)>& task) override;
    bool runWithin(std::function<void()> job, DWORD timeoutMs) override;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace quillane
