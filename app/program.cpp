#include "app/program.h"

#include "app/app_controller.h"
#include "app/window_system.h"
#include "http/request_limits.h"
#include "util/owners.h"
#include "util/timestamp.h"
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
int runWindows() {
    AppController controller;
    if (!controller.openMainWindow()) {
        return 1;
    }
    return runMessageLoop();
}

}  // namespace

int runProgram() {
    setRequestTimeoutMs(deployment().requestTimeoutMs);
    // The embedded browser, the script control and the document access all need COM on this
    // thread. It is declared first so that it goes last: the windows and any document held
    // are released while COM is still there.
    const ComApartment com;
    const int exitCode = runWindows();
    releaseTimeScript();
    return exitCode;
}

}  // namespace quillane
