#include "app/program.h"

#include <cstdlib>
#include <memory>

#include "app/owned_message.h"
#include "app/publisher_notice.h"
#include "app/window_system.h"
#include "http/request_limits.h"
#include "workflow/affiliate_link.h"
#include "workflow/deployment.h"
#include "workflow/harvest.h"
#include "workflow/page_capture.h"
#include "workflow/rebate_lookup.h"

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

void Program::onHarvestClicked() {
    startRun(WorkflowRun::Harvest);
}

void Program::onItemTextChanged() {
    startRun(WorkflowRun::EditBoxLookup);
}

void Program::onItemDoubleClicked() {
    startRun(WorkflowRun::AffiliateLink);
}

void Program::onHomePressed() {
    startRun(WorkflowRun::PageCapture);
}

void Program::startRun(WorkflowRun run) {
    if (running_) {
        // Reached through message processing inside a running run (the document search, a
        // modal box): never enter a run twice. A Home press is dropped, the member presses it
        // again; the member's other actions run once the current run is over.
        if (run != WorkflowRun::PageCapture) {
            pendingRuns_.insert(run);
        }
        return;
    }
    struct RunningFlag {
        bool& flag;
        explicit RunningFlag(bool& running) : flag(running) { flag = true; }
        ~RunningFlag() { flag = false; }
    } runningFlag(running_);
    perform(run);
    do {
        while (!pendingRuns_.empty()) {
            const WorkflowRun next = *pendingRuns_.begin();
            pendingRuns_.erase(pendingRuns_.begin());
            perform(next);
        }
        // Home presses made while the runs were blocked in the network are dropped too, as
        // those that came during their message processing were: a hammered Home key gives one
        // capture, not one for every press, long after the member has stopped. Looking into
        // the queue delivers messages sent from other threads, which may defer a run again.
        discardQueuedHotKeyPresses();
    } while (!pendingRuns_.empty());
}

void Program::perform(WorkflowRun run) {
    WorkflowContext context{session_, *this, deployment()};
    switch (run) {
    case WorkflowRun::Harvest:
        harvestSessionKeys(context);
        break;
    case WorkflowRun::EditBoxLookup:
        lookupRebate(context, LookupForm::EditBox);
        break;
    case WorkflowRun::AffiliateLink:
        makeAffiliateLink(context);
        break;
    case WorkflowRun::PageCapture:
        captureItemPage(context, pageDocument_);
        break;
    }
}

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
    setRequestTimeoutMs(deployment().requestTimeoutMs);
    runningProgram = std::make_unique<Program>();
    std::atexit(exitRoutine);
    if (!runningProgram->openMainWindow()) {
        return 1;
    }
    return runMessageLoop();
}

}  // namespace quillane
