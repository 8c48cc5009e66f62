#include "app/home_flow.h"

#include <optional>
#include <utility>

#include "app/display_scale.h"
#include "app/result_rendering.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"

namespace quillane {

void ResultWindowSlot::show(const std::string& message, const std::string& link, std::function<void()> endProgram) {
    // The old window goes first, so that there is never more than one.
    window_.reset();
    window_ = std::make_unique<ResultWindow>(message, link, std::move(endProgram));
    if (!window_->create()) {
        window_.reset();
    }
}

HomeFlow::~HomeFlow() {
    // The document of an Internet Explorer page belongs to the workers' apartment, and letting
    // go of it is a call to the browser: a worker does it, and the program's end does not wait.
    jobs_.workers().submit([page = std::move(lastPage_)] {});
}

void HomeFlow::onHomePressed() {
    // One press, one result: presses during a Home run are dropped, and so are those during a
    // batch, whose result the member waits for.
    if (batch_.running() || running_) {
        return;
    }
    running_ = true;
    // Which window is under the mouse is the press's own fact, read at once.
    const HWND underMouse = windowUnderMouse();
    const std::uint64_t epoch = keeper_.epoch();
    struct HomeRun {
        LookupResult lookup;
        std::shared_ptr<CapturedPage> page;
    };
    jobs_.start<HomeRun>(
        Waiting::Member,
        [login = keeper_.login(), page = lastPage_, underMouse, &workers = jobs_.workers()]() mutable {
            HomeRun run;
            run.lookup = captureItemPage(underMouse, login, deployment(), page, workers);
            run.page = std::move(page);
            return run;
        },
        [this, epoch](HomeRun& run) {
            running_ = false;
            lastPage_ = std::move(run.page);
            const LookupResult& lookup = run.lookup;
            // The search and the link went out together and share one login afterwards.
            keeper_.adopt(lookup.session, epoch, lookup.login.reharvested);
            if (lookup.link && lookup.link->made) {
                keeper_.keepLink(lookup.link->itemId, {lookup.link->link, lookup.link->tokens},
                                 lookup.login.reharvested ? keeper_.epoch() : epoch);
            }
            show(run.lookup);
        });
}

void HomeFlow::show(const LookupResult& result) {
    // The share text, like the link, is of the item this press found.
    const std::optional<CopiedForm> copied =
        result.link ? copyLink(window_, status_, *result.link, result.item.offer) : std::nullopt;
    showLoginChange(window_, result.login);
    if (!result.statusText.empty()) {
        status_.set(result.statusText);
    }
    if (result.resultMessage.empty()) {
        return;
    }
    if (!result.link || !result.link->made) {
        resultWindow_.show(result.resultMessage, "", endProgram_);
        return;
    }
    // The window keeps the link it names: its button opens this link whatever comes later.
    std::string message = result.resultMessage;
    if (!copied.has_value()) {
        message = result.rebateSentence + kClipboardBusy;
    } else if (*copied != CopiedForm::Link) {
        // The link's own sentence keeps its wording; a share text's follows the rebate.
        message = result.rebateSentence + copiedSentence(*copied);
    }
    resultWindow_.show(message, result.link->link, endProgram_);
}

}  // namespace quillane
