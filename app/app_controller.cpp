#include "app/app_controller.h"

#include "app/owned_message.h"
#include "app/publisher_notice.h"
#include "app/window_system.h"
#include "workflow/affiliate_link.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"
#include "workflow/page_capture.h"

namespace quillane {

bool AppController::openMainWindow() {
    return mainWindow_.create(deployment().homeUrl);
}

void AppController::onMainWindowCreated() {
    showPublisherNotice();
}

void AppController::onHarvestClicked() {
    scheduler_.request(RunKind::Harvest);
}

void AppController::onItemTextChanged() {
    scheduler_.request(RunKind::EditBoxLookup);
}

void AppController::onItemDoubleClicked() {
    scheduler_.request(RunKind::AffiliateLink);
}

void AppController::onHomePressed() {
    scheduler_.request(RunKind::PageCapture);
}

void AppController::perform(RunKind run) {
    switch (run) {
    case RunKind::Harvest:
        show(harvestSessionKeys(session_, deployment()));
        break;
    case RunKind::EditBoxLookup:
        show(lookupRebate(mainWindow_.itemText(), LookupForm::EditBox, session_, deployment()));
        break;
    case RunKind::AffiliateLink:
        show(makeAffiliateLink(session_, deployment()));
        break;
    case RunKind::PageCapture:
        show(captureItemPage(session_, deployment(), lastPage_));
        break;
    }
}

void AppController::show(const HarvestResult& result) {
    session_ = result.session;
    if (result.idsText) {
        mainWindow_.setStatusText(*result.idsText);
    }
    if (result.outcome == HarvestOutcome::Harvested) {
        mainWindow_.showCompactView();
    }
    showOwnedMessage(result.messageText);
}

void AppController::show(const LinkResult& result) {
    session_ = result.session;
    if (result.made) {
        replaceClipboardText(mainWindow_.handle(), result.link);
        mainWindow_.setStatusText(kLinkCopied);
    }
}

void AppController::show(const LookupResult& result) {
    if (result.link) {
        show(*result.link);
    }
    session_ = result.session;
    if (!result.statusText.empty()) {
        mainWindow_.setStatusText(result.statusText);
    }
    if (!result.resultMessage.empty()) {
        showResultWindow(result.resultMessage);
    }
}

void AppController::showResultWindow(const std::string& message) {
    // The old window goes first, so that there is never more than one.
    resultWindow_.reset();
    resultWindow_ = std::make_unique<ResultWindow>(
        message,
        // The link of the last successful link request of this run, read at the click: it
        // may be newer than the sentence the window shows. Empty: nothing to open.
        [this] { openInDefaultBrowser(session_.affiliateLink); },
        [this] { endProgram(); });
    if (!resultWindow_->create()) {
        resultWindow_.reset();
    }
}

void AppController::endProgram() {
    SendMessageW(mainWindow_.handle(), WM_CLOSE, 0, 0);
}

}  // namespace quillane
