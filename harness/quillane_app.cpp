#include "harness/quillane_app.h"

#include "app/main_window.h"

namespace quillane::test {

std::unique_ptr<RunningProgram> QuillaneApp::launch(const EnvironmentOverrides& overrides) {
    EnvironmentOverrides environment = {
        {L"QUILLANE_HOME_URL", L"http://127.0.0.1:9/"},
        {L"QUILLANE_NOTICE_URL", L"http://127.0.0.1:9/notice.html"},
        {L"QUILLANE_PUBLISHER_URL", L"http://127.0.0.1:9/"},
        {L"QUILLANE_API_HOST", L"127.0.0.1:9"},
        {L"QUILLANE_ITEM_HOST", L"127.0.0.1:9"},
        {L"QUILLANE_COOKIE_DOMAIN", L"127.0.0.1"},
    };
    for (const auto& [name, value] : overrides) {
        bool replaced = false;
        for (auto& [existingName, existingValue] : environment) {
            if (existingName == name) {
                existingValue = value;
                replaced = true;
            }
        }
        if (!replaced) {
            environment.emplace_back(name, value);
        }
    }
    return RunningProgram::start(L"quillane.exe", {}, environment);
}

std::unique_ptr<QuillaneApp> QuillaneApp::start(const EnvironmentOverrides& overrides) {
    auto app = std::unique_ptr<QuillaneApp>(new QuillaneApp);
    app->process_ = launch(overrides);
    if (!app->process_) {
        return nullptr;
    }
    app->mainWindow_ = waitForWindowOfClass(app->process_->processId(), MainWindow::kClassName);
    if (app->mainWindow_ == nullptr || !app->process_->waitForInputIdle()) {
        return nullptr;
    }
    return app;
}

void QuillaneApp::clickButton(int id) const {
    // Posted, not sent: the click may open a modal box, which would block a sent message.
    PostMessageW(control(id), BM_CLICK, 0, 0);
}

}  // namespace quillane::test
