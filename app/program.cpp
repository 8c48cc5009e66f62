#include "app/program.h"

#include <cstdlib>
#include <memory>

#include "app/owned_message.h"
#include "app/publisher_notice.h"
#include "app/window_system.h"
#include "workflow/deployment.h"

namespace quillane {
namespace {

std::unique_ptr<Program> runningProgram;

// Runs once at every end of the process, however it ends: releases the session state and
// the windows, then the page-document object, which uninitialises COM.
void exitRoutine() {
    runningProgram.reset();
}

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

}  // namespace

bool Program::openMainWindow() {
    return mainWindow_.create(deployment().homeUrl);
}

void Program::onMainWindowCreated() {
    showPublisherNotice();
}

void Program::onHarvestClicked() {}

void Program::onItemTextChanged() {}

void Program::onItemDoubleClicked() {}

void Program::onHomePressed() {}

void Program::setStatusText(const std::string& text) {
    mainWindow_.setStatusText(text);
}

std::string Program::editBoxText() {
    return mainWindow_.itemText();
}

void Program::hideBrowser() {
    mainWindow_.hideBrowser();
}

void Program::setOuterHeight(int pixels) {
    mainWindow_.setOuterHeight(pixels);
}

int Program::showOwnedMessage(const std::string& text) {
    return quillane::showOwnedMessage(text);
}

void Program::showResultWindow() {
    // The old window goes first, so that there is never more than one.
    resultWindow_.reset();
    resultWindow_ = std::make_unique<ResultWindow>(session_, [this] { endProgram(); });
    if (!resultWindow_->create()) {
        resultWindow_.reset();
    }
}

bool Program::setClipboardText(const std::string& text) {
    return replaceClipboardText(mainWindow_.handle(), text);
}

void Program::endProgram() {
    SendMessageW(mainWindow_.handle(), WM_CLOSE, 0, 0);
}

int runProgram() {
    runningProgram = std::make_unique<Program>();
    std::atexit(exitRoutine);
    if (!runningProgram->openMainWindow()) {
        return 1;
    }
    return runMessageLoop();
}

}  // namespace quillane
