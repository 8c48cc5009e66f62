#pragma once
// The batch conversion's worker thread, seen from the window thread. The worker touches no
// window and no session field: it gets copies of what it needs and posts what it has to say
// to the main window. Its result travels in the message that announces it, owned by it.
#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "util/owners.h"
#include "workflow/batch_conversion.h"

namespace quillane {

// wParam: references settled; lParam: of how many.
inline constexpr UINT kBatchProgressMessage = MainWindow::kWorkerMessageFirst;
// lParam: the BatchResult, to be taken with BatchRunner::finish.
inline constexpr UINT kBatchDoneMessage = MainWindow::kWorkerMessageFirst + 1;

class BatchRunner {
public:
    BatchRunner() = default;
    BatchRunner(const BatchRunner&) = delete;
    BatchRunner& operator=(const BatchRunner&) = delete;
    // The program ends: the batch is told to stop and given a moment to end; requests still
    // blocked in the network then end with the process rather than keep it for their time-out.
    ~BatchRunner();

    bool running() const { return worker_.joinable(); }
    void start(HWND window, std::vector<ItemReference> references, SessionState session, Deployment deployment);
    // Takes the result of the done message over; the worker is over once it returns.
    std::unique_ptr<BatchResult> finish(LPARAM payload);

private:
    struct Shared {
        std::atomic<bool> stop{false};
        KernelHandle finished{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    };
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

}  // namespace quillane
