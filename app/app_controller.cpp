#include "app/app_controller.h"

#include <algorithm>

#include "app/owned_message.h"
#include "app/publisher_notice.h"
#include "app/window_system.h"
#include "workflow/affiliate_link.h"
#include "workflow/reading/batch_text.h"
#include "workflow/reading/pasted_session.h"
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

// During a batch the member waits for its result: a second double-click or a Home press
// would start a run that the batch's result then overwrites.
void AppController::onItemDoubleClicked() {
    if (!batch_.running()) {
        scheduler_.request(RunKind::AffiliateLink);
    }
}

void AppController::onHomePressed() {
    if (!batch_.running()) {
        scheduler_.request(RunKind::PageCapture);
    }
}

void AppController::onWorkerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kBatchProgressMessage && batch_.running()) {
        mainWindow_.setStatusText(batchProgressText(wParam, static_cast<std::size_t>(lParam)));
    } else if (message == kBatchDoneMessage) {
        show(*batch_.finish(lParam));
    }
}

void AppController::perform(RunKind run) {
    switch (run) {
    case RunKind::Harvest:
        show(harvestSessionKeys(session_, deployment()));
        break;
    case RunKind::EditBoxLookup:
        lookUpBox();
        break;
    case RunKind::AffiliateLink: {
        const bool shareTokens = mainWindow_.shareTokensChecked();
        if (!startBatchOfBox(shareTokens)) {
            show(makeAffiliateLink(session_, deployment()), shareTokens);
        }
        break;
    }
    case RunKind::PageCapture:
        show(captureItemPage(session_, deployment(), lastPage_), mainWindow_.shareTokensChecked());
        break;
    }
}

void AppController::lookUpBox() {
    const std::string text = mainWindow_.itemText();
    const PastedSession pasted = readPastedSession(text);
    if (pasted.kind != PastedSession::Kind::NotASession) {
        // A session is as secret as a password: it does not stay on screen, taken or not.
        mainWindow_.clearItemText();
        if (pasted.kind == PastedSession::Kind::Session) {
            show(harvestPastedSession(session_, pasted.cookies, deployment()));
        } else {
            mainWindow_.setStatusText(kPastedSessionIncomplete);
        }
    } else if (const std::size_t count = readItemReferences(readingCopy(mainWindow_.itemWideText())).size();
               count > 1) {
        mainWindow_.setStatusText(batchFoundText(count));
    } else {
        show(lookupRebate(text, LookupForm::EditBox, session_, deployment()), false);
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
    if (result.outcome == HarvestOutcome::LoginExpired) {
        mainWindow_.setStatusText(kLoginExpired);
        showLogin(LoginCheck{.expired = true});
    }
    showOwnedMessage(result.messageText);
}

void AppController::showLogin(const LoginCheck& login) {
    if (login.expired) {
        mainWindow_.showLoginView(deployment().homeUrl);
    } else if (login.reharvested) {
        mainWindow_.showCompactView();
    }
}

std::optional<CopiedForm> AppController::show(const LinkResult& result, bool shareTokens) {
    session_ = result.session;
    showLogin(result.login);
    if (!result.made) {
        mainWindow_.setStatusText(result.login.expired            ? kLoginExpired
                                  : result.login.unsafeConnection ? kUnsafeConnection
                                                                  : kLinkFailure);
        return std::nullopt;
    }
    // The link stays kept when the clipboard is busy: a second try or "打开返利链接" still works.
    const ClipboardCopy copy = clipboardCopyOf(result, session_.offer, shareTokens);
    if (!replaceClipboardText(mainWindow_.handle(), copy.text)) {
        mainWindow_.setStatusText(kClipboardBusy);
        return std::nullopt;
    }
    mainWindow_.setStatusText(copiedSentence(copy.form));
    return copy.form;
}

void AppController::show(const LookupResult& result, bool shareTokens) {
    const std::optional<CopiedForm> copied = result.link ? show(*result.link, shareTokens) : std::nullopt;
    session_ = result.session;
    showLogin(result.login);
    if (!result.statusText.empty()) {
        mainWindow_.setStatusText(result.statusText);
    }
    if (result.resultMessage.empty()) {
        return;
    }
    const bool linkMade = result.link && result.link->made;
    if (!linkMade) {
        showResultWindow(result.resultMessage, false);
    } else if (!copied.has_value()) {
        showResultWindow(result.rebateSentence + kClipboardBusy, true);
    } else {
        // The link's own sentence keeps its wording; a share text's follows the rebate.
        const CopiedForm form = copied.value();
        showResultWindow(form == CopiedForm::Link ? result.resultMessage : result.rebateSentence + copiedSentence(form),
                         true);
    }
}

bool AppController::startBatchOfBox(bool shareTokens) {
    std::wstring text = mainWindow_.itemWideText();
    ReferencesInText found = readItemReferenceSpans(readingCopy(text));
    if (found.references.size() < 2) {
        return false;
    }
    batchText_ = std::move(text);
    batchSpans_ = std::move(found.spans);
    batchShareTokens_ = shareTokens;
    mainWindow_.setStatusText(batchProgressText(0, std::min(found.references.size(), kMaxBatchReferences)));
    batch_.start(mainWindow_.handle(), std::move(found.references), session_, deployment());
    return true;
}

void AppController::show(const BatchResult& result) {
    if (result.reharvestedSession) {
        session_ = *result.reharvestedSession;
    } else {
        session_.sessionCookies = result.sessionCookies;
    }
    showLogin(result.login);
    if (result.login.expired || result.login.unsafeConnection) {
        mainWindow_.setStatusText(result.login.expired ? kLoginExpired : kUnsafeConnection);
        return;
    }
    if (result.converted == 0) {
        mainWindow_.setStatusText(kBatchNoneConverted);
        return;
    }
    // A reference whose reply had no 淘口令 still gets the member's link.
    std::vector<std::wstring> links;
    for (std::size_t reference = 0; reference < result.links.size(); ++reference) {
        const bool token = batchShareTokens_ && reference < result.tokens.size() && !result.tokens[reference].empty();
        links.push_back(gbkToWide(token ? result.tokens[reference] : result.links[reference]));
    }
    const bool copied = replaceClipboardWideText(mainWindow_.handle(), withLinks(batchText_, batchSpans_, links));
    mainWindow_.setStatusText(copied ? batchConvertedText(result.converted, result.total) : kClipboardBusy);
}

void AppController::showResultWindow(const std::string& message, bool linkMade) {
    // The old window goes first, so that there is never more than one.
    resultWindow_.reset();
    std::function<void()> openLink;
    if (linkMade) {
        // The link of the last successful link request, read at the click: it may be newer
        // than the sentence the window shows.
        openLink = [this] { openInDefaultBrowser(session_.affiliateLink); };
    }
    resultWindow_ = std::make_unique<ResultWindow>(message, std::move(openLink), [this] { endProgram(); });
    if (!resultWindow_->create()) {
        resultWindow_.reset();
    }
}

void AppController::endProgram() {
    SendMessageW(mainWindow_.handle(), WM_CLOSE, 0, 0);
}

}  // namespace quillane
