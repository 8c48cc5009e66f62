#pragma once
// Work that a workflow routine hands to other threads: the parts of a batch side by side, the
// search and the link of Home together, and a read in another process that may hang. The
// program gives its own worker threads; the routines stay free of them and of any window.
#include <windows.h>

#include <cstddef>
#include <functional>

#include "util/held_runs.h"

namespace quillane {

// runWithin (of BoundedRunner) runs a job that may never end, such as a read in a hung browser.
class ParallelWork : public BoundedRunner {
public:
    // Runs task(0) to task(count - 1), each index once, on at most width threads, the calling
    // one among them, and returns when all are done. The caller takes part, so a busy set of
    // threads delays the work but can never leave it waiting for itself.
    virtual void forEach(std::size_t count, std::size_t width, const std::function<void(std::size_t)>& task) = 0;
};

// Everything on the calling thread, one task after another and without a bound: for tests
// and benchmarks that call a routine directly.
ParallelWork& callingThreadOnly();

}  // namespace quillane
