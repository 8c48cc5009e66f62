#include "app/batch_runner.h"

#include <utility>

namespace quillane {
namespace {

// How long the end of the program waits for a stopping batch. Under Wine, closing a request's
// handle from another thread does not end a blocked send or read (measured: the call runs on
// to its receive time-out), so a batch stuck in the network is not waited for.
constexpr DWORD kEndWaitMs = 100;

}  // namespace

BatchRunner::~BatchRunner() {
    if (!worker_.joinable()) {
        return;
    }
    shared_->stop = true;
    if (WaitForSingleObject(shared_->finished.get(), kEndWaitMs) == WAIT_OBJECT_0) {
        worker_.join();
    } else {
        // It holds its own copies and a share of the state; the process's end ends it.
        worker_.detach();
    }
    // A result posted after the window had gone no longer reaches it.
    MSG message;
    while (PeekMessageW(&message, nullptr, kBatchDoneMessage, kBatchDoneMessage, PM_REMOVE)) {
        delete reinterpret_cast<BatchResult*>(message.lParam);
    }
}

void BatchRunner::start(HWND window, std::vector<ItemReference> references, SessionState session,
                        Deployment deployment) {
    shared_ = std::make_shared<Shared>();
    worker_ = std::thread([window, shared = shared_, references = std::move(references), session = std::move(session),
                           deployment = std::move(deployment)] {
        const auto progress = [window](std::size_t settled, std::size_t count) {
            PostMessageW(window, kBatchProgressMessage, settled, static_cast<LPARAM>(count));
        };
        auto result = std::make_unique<BatchResult>(convertReferences(references, session, deployment, shared->stop, progress));
        if (PostMessageW(window, kBatchDoneMessage, 0, reinterpret_cast<LPARAM>(result.get()))) {
            result.release();  // the message owns it now
        }
        SetEvent(shared->finished.get());
    });
}

std::unique_ptr<BatchResult> BatchRunner::finish(LPARAM payload) {
    std::unique_ptr<BatchResult> result(reinterpret_cast<BatchResult*>(payload));
    if (worker_.joinable()) {
        worker_.join();
    }
    return result;
}

}  // namespace quillane
