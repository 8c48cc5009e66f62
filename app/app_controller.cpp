#include "app/app_controller.h"

#include <algorithm>
#include <utility>

#include "app/owned_message.h"
#include "app/publisher_notice.h"
#include "app/window_system.h"
#include "util/text/cookies.h"
#include "workflow/affiliate_link.h"
#include "workflow/reading/batch_text.h"
#include "workflow/reading/pasted_session.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"

namespace quillane {
namespace {

// How long a request the member waits for runs before the label says so.
constexpr UINT kProgressDelayMs = 300;
// Box lookups asked at once: a newer text starts at once beside an older one still waiting for
// the platform, but typing does not start one search a key.
constexpr int kMaxBoxLookupsInFlight = 2;

using Delivery = std::function<void()>;

// From a worker: the delivery travels in the message, which owns it. A window that is gone
// takes no message, and the delivery goes with the worker's copy.
void post(HWND window, Delivery delivery) {
    auto owned = std::make_unique<Delivery>(std::move(delivery));
    if (PostMessageW(window, kJobDoneMessage, 0, reinterpret_cast<LPARAM>(owned.get()))) {
        owned.release();
    }
}

}  // namespace

AppController::AppController(WorkerPool& workers) : workers_(workers) {}

AppController::~AppController() {
    if (batchStop_) {
        *batchStop_ = true;
    }
    // The document of an Internet Explorer page belongs to the workers' apartment, and letting
    // go of it is a call to the browser: a worker does it, and the program's end does not wait.
    workers_.submit([page = std::move(lastPage_)] {});
}

bool AppController::openMainWindow() {
    return mainWindow_.create(deployment().homeUrl);
}

template <class Result>
void AppController::startJob(Waiting waiting, std::function<Result()> work, std::function<void(Result&)> render) {
    ++runsInFlight_;
    if (waiting == Waiting::Member) {
        beginMemberWait();
    }
    const auto over = [this, waiting] { jobOver(waiting); };
    workers_.submit([window = mainWindow_.handle(), work = std::move(work), render = std::move(render), over] {
        Result result;
        try {
            result = work();
        } catch (...) {
            // Out of memory on the way: the run ends with an empty result, which claims nothing.
            result = Result{};
        }
        post(window, [render, over, result = std::move(result)]() mutable {
            over();
            render(result);
        });
    });
}

void AppController::jobOver(Waiting waiting) {
    --runsInFlight_;
    if (waiting == Waiting::Member) {
        endMemberWait();
    }
}

void AppController::beginMemberWait() {
    if (memberWaits_++ == 0) {
        SetTimer(mainWindow_.handle(), MainWindow::kProgressTimerId, kProgressDelayMs, nullptr);
    }
}

void AppController::endMemberWait() {
    if (--memberWaits_ == 0) {
        KillTimer(mainWindow_.handle(), MainWindow::kProgressTimerId);
        // A run whose result left the label alone gives it back its text.
        if (statusBeforeProgress_) {
            mainWindow_.setStatusText(*statusBeforeProgress_);
            statusBeforeProgress_.reset();
        }
    }
}

void AppController::onProgressDue() {
    KillTimer(mainWindow_.handle(), MainWindow::kProgressTimerId);
    // A batch keeps its own progress text.
    if (memberWaits_ > 0 && !batchRunning_ && !statusBeforeProgress_) {
        statusBeforeProgress_ = controlText(mainWindow_.control(MainWindow::kStatusLabelId));
        mainWindow_.setStatusText(kQuerying);
    }
}

void AppController::setStatus(const std::string& text) {
    statusBeforeProgress_.reset();
    mainWindow_.setStatusText(text);
}

void AppController::onMainWindowCreated() {
    // The notice's page may be slow or unreachable: the window does not wait for it, and its
    // box comes when the page does. It is no run of the member's, so it is not counted.
    workers_.submit([window = mainWindow_.handle(), this] {
        std::optional<std::string> notice;
        try {
            notice = fetchPublisherNotice();
        } catch (...) {
            // Out of memory: no notice.
        }
        if (notice) {
            post(window, [this, notice = std::move(*notice)] { showPublisherNotice(notice); });
        }
    });
}

void AppController::onHarvestClicked() {
    if (harvestRunning_) {
        harvestAgain_ = true;  // once more when the running one is in, as a second press asks
        return;
    }
    startHarvest();
}

void AppController::startHarvest() {
    harvestRunning_ = true;
    const std::uint64_t epoch = sessionEpoch_;
    startJob<HarvestResult>(
        Waiting::Member, [session = session_] { return harvestSessionKeys(session, deployment()); },
        [this, epoch](HarvestResult& result) {
            harvestRunning_ = false;
            adoptSession(result.session, epoch, result.outcome == HarvestOutcome::Harvested);
            show(result);
            if (std::exchange(harvestAgain_, false)) {
                startHarvest();
            }
        });
}

void AppController::onItemTextChanged() {
    *newestBox_ = ++boxGeneration_;
    boxLookupRunning_ = false;
    boxLookupDeferred_ = false;  // an older text's lookup no longer holds a double-click
    // What the box named before is no longer what a waiting double-click meant.
    linkAfterLookup_ = false;
    stopAwaitingLink();
    lookUpBox();
}

// During a batch the member waits for its result: a second double-click or a Home press
// would start a run that the batch's result then overwrites.
void AppController::onItemDoubleClicked() {
    if (batchRunning_) {
        return;
    }
    if (boxLookupRunning_) {
        // The double-click is for what the box names now: its lookup comes first.
        linkAfterLookup_ = true;
        return;
    }
    if (startBatchOfBox()) {
        return;
    }
    const std::string itemId = session_.itemId;
    if (const auto kept = links_.find(itemId); kept != links_.end() && !itemId.empty()) {
        LinkResult copy;
        copy.made = true;
        copy.link = kept->second.link;
        copy.tokens = kept->second.tokens;
        session_.affiliateLink = kept->second.link;
        show(copy);
    } else if (linksInFlight_.count(itemId) != 0) {
        // The request already asked is waited for, not asked again; the member waits for it now.
        stopAwaitingLink();
        awaitedLink_ = itemId;
        awaitingAhead_ = true;
        beginMemberWait();
    } else {
        startLink(itemId, true);
    }
}

void AppController::stopAwaitingLink() {
    awaitedLink_.reset();
    if (std::exchange(awaitingAhead_, false)) {
        endMemberWait();
    }
}

void AppController::startLink(const std::string& itemId, bool memberWaits) {
    if (memberWaits) {
        stopAwaitingLink();
        awaitedLink_ = itemId;
    }
    linksInFlight_.insert(itemId);
    SessionState session = session_;
    session.itemId = itemId;
    const std::uint64_t epoch = sessionEpoch_;
    startJob<LinkResult>(
        memberWaits ? Waiting::Member : Waiting::Background,
        [session = std::move(session)] { return makeAffiliateLink(session, deployment()); },
        [this, epoch, itemId](LinkResult& result) {
            linksInFlight_.erase(itemId);
            adoptSession(result.session, epoch, result.login.reharvested);
            if (result.made) {
                keepLink(itemId, result.link, result.tokens, result.login.reharvested ? sessionEpoch_ : epoch);
            }
            if (awaitedLink_ != itemId) {
                return;  // asked ahead of a double-click: kept, or asked again at the double-click
            }
            stopAwaitingLink();
            if (result.made) {
                session_.affiliateLink = result.link;
            }
            show(result);
        });
}

void AppController::onHomePressed() {
    // One press, one result: presses during a Home run are dropped.
    if (batchRunning_ || homeRunning_) {
        return;
    }
    homeRunning_ = true;
    // Which window is under the mouse is the press's own fact, read at once.
    POINT cursor{0, 0};  // a failed read means the point (0, 0)
    GetCursorPos(&cursor);
    const HWND underMouse = WindowFromPoint(cursor);
    const std::uint64_t epoch = sessionEpoch_;
    struct HomeRun {
        LookupResult lookup;
        std::shared_ptr<CapturedPage> page;
    };
    startJob<HomeRun>(
        Waiting::Member,
        [session = session_, page = lastPage_, underMouse, &workers = workers_]() mutable {
            HomeRun run;
            run.lookup = captureItemPage(underMouse, session, deployment(), page, workers);
            run.page = std::move(page);
            return run;
        },
        [this, epoch](HomeRun& run) {
            homeRunning_ = false;
            lastPage_ = std::move(run.page);
            LookupResult& result = run.lookup;
            adoptSession(result.session, epoch, result.login.reharvested);
            session_.itemId = result.session.itemId;
            session_.cursorWindow = result.session.cursorWindow;
            session_.capturedAddress = result.session.capturedAddress;
            session_.offer = result.session.offer;
            if (result.link && result.link->made) {
                session_.affiliateLink = result.link->link;
                keepLink(result.session.itemId, result.link->link, result.link->tokens,
                         result.login.reharvested ? sessionEpoch_ : epoch);
            }
            show(result);
        });
}

void AppController::onWorkerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kBatchProgressMessage && batchRunning_) {
        mainWindow_.setStatusText(batchProgressText(wParam, static_cast<std::size_t>(lParam)));
    } else if (message == kJobDoneMessage) {
        const std::unique_ptr<Delivery> delivery(reinterpret_cast<Delivery*>(lParam));
        (*delivery)();
    }
}

void AppController::lookUpBox() {
    const std::string text = mainWindow_.itemText();
    const PastedSession pasted = readPastedSession(text);
    if (pasted.kind != PastedSession::Kind::NotASession) {
        // A session is as secret as a password: it does not stay on screen, taken or not.
        mainWindow_.clearItemText();
        if (pasted.kind == PastedSession::Kind::Session) {
            const std::uint64_t epoch = sessionEpoch_;
            startJob<HarvestResult>(
                Waiting::Member,
                [session = session_, cookies = pasted.cookies] {
                    return harvestPastedSession(session, cookies, deployment());
                },
                [this, epoch](HarvestResult& result) {
                    adoptSession(result.session, epoch, result.outcome == HarvestOutcome::Harvested);
                    show(result);
                });
        } else {
            setStatus(kPastedSessionIncomplete);
        }
    } else if (const std::size_t count = readItemReferences(readingCopy(mainWindow_.itemWideText())).size();
               count > 1) {
        setStatus(batchFoundText(count));
    } else {
        boxLookupRunning_ = true;
        if (boxLookupsInFlight_ >= kMaxBoxLookupsInFlight) {
            // Typing makes a change a key: the newest text is looked up once one of these ends.
            boxLookupDeferred_ = true;
            return;
        }
        ++boxLookupsInFlight_;
        const std::uint64_t generation = boxGeneration_;
        const std::uint64_t epoch = sessionEpoch_;
        startJob<LookupResult>(
            Waiting::Member,
            [text, session = session_, newest = newestBox_, generation] {
                if (*newest != generation) {
                    return LookupResult{};  // superseded before it began: dropped unasked
                }
                return lookupRebate(text, LookupForm::EditBox, session, deployment());
            },
            [this, generation, epoch](LookupResult& result) {
                --boxLookupsInFlight_;
                if (std::exchange(boxLookupDeferred_, false)) {
                    lookUpBox();
                }
                if (generation != boxGeneration_) {
                    return;  // the box changed meanwhile: the newer text's lookup speaks
                }
                boxLookupRunning_ = false;
                adoptSession(result.session, epoch, result.login.reharvested);
                session_.itemId = result.session.itemId;
                session_.offer = result.session.offer;
                show(result);
                const std::string& itemId = session_.itemId;
                if (std::exchange(linkAfterLookup_, false)) {
                    onItemDoubleClicked();
                } else if (result.outcome == LookupOutcome::Found && links_.count(itemId) == 0 &&
                           linksInFlight_.count(itemId) == 0) {
                    // The member nearly always double-clicks next: the link is asked for now.
                    startLink(itemId, false);
                }
            });
    }
}

void AppController::adoptSession(const SessionState& after, std::uint64_t epochAtStart, bool newLogin) {
    if (newLogin) {
        session_ = after;
        ++sessionEpoch_;
        links_.clear();
        return;
    }
    if (epochAtStart != sessionEpoch_) {
        return;  // the job ran with a login that is gone: nothing of it joins the newer one
    }
    std::string renewed = after.sessionCookies;
    mergeCookies(session_.sessionCookies, renewed);
    session_.storeCookieText = after.storeCookieText;
    session_.adzoneReply = after.adzoneReply;
}

void AppController::keepLink(const std::string& itemId, const std::string& link, const ShareTokens& tokens,
                             std::uint64_t epochAtStart) {
    if (!itemId.empty() && epochAtStart == sessionEpoch_) {
        links_[itemId] = {link, tokens};
    }
}

void AppController::show(const HarvestResult& result) {
    if (result.idsText) {
        setStatus(*result.idsText);
    }
    if (result.outcome == HarvestOutcome::Harvested) {
        mainWindow_.showCompactView();
    }
    if (result.outcome == HarvestOutcome::LoginExpired) {
        setStatus(kLoginExpired);
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

std::optional<CopiedForm> AppController::show(const LinkResult& result) {
    showLogin(result.login);
    if (!result.made) {
        setStatus(result.login.expired            ? kLoginExpired
                  : result.login.unsafeConnection ? kUnsafeConnection
                                                  : kLinkFailure);
        return std::nullopt;
    }
    // The link stays kept when the clipboard is busy: a second try or "打开返利链接" still works.
    // Whether the member shares 淘口令 is read as the result shows.
    const ClipboardCopy copy = clipboardCopyOf(result, session_.offer, mainWindow_.shareTokensChecked());
    if (!replaceClipboardText(mainWindow_.handle(), copy.text)) {
        setStatus(kClipboardBusy);
        return std::nullopt;
    }
    setStatus(copiedSentence(copy.form));
    return copy.form;
}

void AppController::show(const LookupResult& result) {
    const std::optional<CopiedForm> copied = result.link ? show(*result.link) : std::nullopt;
    showLogin(result.login);
    if (!result.statusText.empty()) {
        setStatus(result.statusText);
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

bool AppController::startBatchOfBox() {
    std::wstring text = mainWindow_.itemWideText();
    ReferencesInText found = readItemReferenceSpans(readingCopy(text));
    if (found.references.size() < 2) {
        return false;
    }
    batchText_ = std::move(text);
    batchSpans_ = std::move(found.spans);
    batchShareTokens_ = mainWindow_.shareTokensChecked();
    setStatus(batchProgressText(0, std::min(found.references.size(), kMaxBatchReferences)));
    batchRunning_ = true;
    batchStop_ = std::make_shared<std::atomic<bool>>(false);
    const std::uint64_t epoch = sessionEpoch_;
    startJob<BatchResult>(
        Waiting::Background,
        [window = mainWindow_.handle(), stop = batchStop_, references = std::move(found.references),
         session = session_, &workers = workers_] {
            const auto progress = [window](std::size_t settled, std::size_t count) {
                PostMessageW(window, kBatchProgressMessage, settled, static_cast<LPARAM>(count));
            };
            return convertReferences(references, session, deployment(), *stop, progress, workers);
        },
        [this, epoch](BatchResult& result) {
            batchRunning_ = false;
            if (result.reharvestedSession) {
                adoptSession(*result.reharvestedSession, epoch, true);
            } else {
                SessionState renewed = session_;
                renewed.sessionCookies = result.sessionCookies;
                adoptSession(renewed, epoch, false);
            }
            for (const ItemLink& made : result.itemLinks) {
                keepLink(made.itemId, made.link, made.tokens, result.reharvestedSession ? sessionEpoch_ : epoch);
            }
            show(result);
        });
    return true;
}

void AppController::show(const BatchResult& result) {
    showLogin(result.login);
    if (result.login.expired || result.login.unsafeConnection) {
        setStatus(result.login.expired ? kLoginExpired : kUnsafeConnection);
        return;
    }
    if (result.converted == 0) {
        setStatus(kBatchNoneConverted);
        return;
    }
    // A reference whose reply had no 淘口令 still gets the member's link.
    std::vector<std::wstring> links;
    for (std::size_t reference = 0; reference < result.links.size(); ++reference) {
        const bool token = batchShareTokens_ && reference < result.tokens.size() && !result.tokens[reference].empty();
        links.push_back(gbkToWide(token ? result.tokens[reference] : result.links[reference]));
    }
    const bool copied = replaceClipboardWideText(mainWindow_.handle(), withLinks(batchText_, batchSpans_, links));
    setStatus(copied ? batchConvertedText(result.converted, result.total) : kClipboardBusy);
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
