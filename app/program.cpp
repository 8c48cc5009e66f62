#include "app/program.h"

#include "app/app_controller.h"
#include "app/ui_dispatcher.h"
#include "app/workers.h"
#include "app/window_system.h"
#include "http/request_limits.h"
#include "util/owners.h"
#include "workflow/deployment.h"

namespace quillane {
namespace {

int runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (closeOnEscape(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// The windows from their creation until the main window closes; they are gone on return.
// The dispatcher outlives them: a result still on its way then finds its window gone.
int runWindows(WorkerPool& workers) {
    const UiDispatcher dispatcher;
    if (!dispatcher.ready()) {
        return 1;
    }
    AppController controller(workers, dispatcher);
    if (!controller.openMainWindow()) {
        return 1;
    }
    return runMessageLoop();
}

}  // namespace

void runProgram() {
    setRequestTimeoutMs(deployment().requestTimeoutMs);
    // The embedded browser needs COM on this thread; the workers have their own apartment.
    const ComApartment com;
    WorkerPool workers;
    // Every request runs on a worker of its own, so that its caller gets its answer at the
    // time-out even when the system holds the call longer.
    setRequestRunner(&workers);
    const int exitCode = runWindows(workers);
    // Whatever is in flight is abandoned: under Wine a request blocked in the network cannot
    // be ended from another thread, and a browser that hangs never returns its call. The
    // process ends here with its workers, which are not waited for.
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace quillane
