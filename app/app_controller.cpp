#include "app/app_controller.h"

#include <optional>
#include <string>
#include <utility>

#include "app/publisher_notice.h"
#include "workflow/deployment.h"

namespace quillane {

AppController::AppController(WorkerPool& workers, const UiDispatcher& dispatcher)
    : jobs_(workers, dispatcher.poster(), status_) {}

bool AppController::openMainWindow() {
    return mainWindow_.create(deployment().homeUrl);
}

void AppController::onMainWindowCreated() {
    // Every result renders into the main window: one that comes back after it closed is dropped.
    jobs_.bindToWindow(mainWindow_.handle());
    // The notice's page may be slow or unreachable: the window does not wait for it, and its
    // box comes when the page does. It is no run of the member's, so it is not counted.
    jobs_.workers().submit([post = jobs_.windowPost()] {
        std::optional<std::string> notice;
        try {
            notice = fetchPublisherNotice();
        } catch (...) {
            // Out of memory: no notice.
        }
        if (notice) {
            post([notice = std::move(*notice)] { showPublisherNotice(notice); });
        }
    });
}

void AppController::endProgram() {
    SendMessageW(mainWindow_.handle(), WM_CLOSE, 0, 0);
}

}  // namespace quillane
