#include "app/batch_flow.h"

#include <algorithm>
#include <utility>

#include "app/result_rendering.h"
#include "app/window_system.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"
#include "workflow/reading/batch_text.h"

namespace quillane {

BatchFlow::~BatchFlow() {
    if (stop_) {
        *stop_ = true;
    }
}

bool BatchFlow::startOfBox() {
    std::wstring text = window_.itemWideText();
    ReferencesInText found = readItemReferenceSpans(readingCopy(text));
    if (found.references.size() < 2) {
        return false;
    }
    text_ = std::move(text);
    spans_ = std::move(found.spans);
    shareTokens_ = window_.shareTokensChecked();
    status_.set(batchProgressText(0, std::min(found.references.size(), kMaxBatchReferences)));
    running_ = true;
    status_.setBatchRunning(true);
    stop_ = std::make_shared<std::atomic<bool>>(false);
    const std::uint64_t epoch = keeper_.epoch();
    jobs_.start<BatchResult>(
        Waiting::Background,
        [status = &status_, post = jobs_.windowPost(), stop = stop_, references = std::move(found.references),
         login = keeper_.login(), &workers = jobs_.workers()] {
            // Progress travels as results do, and is dropped with the window.
            const auto progress = [status, post](std::size_t settled, std::size_t count) {
                post([status, settled, count] { status->showBatchProgress(batchProgressText(settled, count)); });
            };
            return convertReferences(references, login, deployment(), *stop, progress, workers);
        },
        [this, epoch](BatchResult& result) {
            running_ = false;
            status_.setBatchRunning(false);
            if (result.reharvestedSession) {
                keeper_.adopt(*result.reharvestedSession, epoch, true);
            } else {
                SessionState renewed = keeper_.login();
                renewed.sessionCookies = result.sessionCookies;
                keeper_.adopt(renewed, epoch, false);
            }
            for (const ItemLink& made : result.itemLinks) {
                keeper_.keepLink(made.itemId, {made.link, made.tokens},
                                 result.reharvestedSession ? keeper_.epoch() : epoch);
            }
            show(result);
        });
    return true;
}

void BatchFlow::show(const BatchResult& result) {
    showLoginChange(window_, result.login);
    if (result.login.expired || result.login.unsafeConnection) {
        status_.set(result.login.expired ? kLoginExpired : kUnsafeConnection);
        return;
    }
    if (result.converted == 0) {
        status_.set(kBatchNoneConverted);
        return;
    }
    // A reference whose reply had no 淘口令 still gets the member's link.
    std::vector<std::wstring> links;
    for (std::size_t reference = 0; reference < result.links.size(); ++reference) {
        const bool token = shareTokens_ && reference < result.tokens.size() && !result.tokens[reference].empty();
        links.push_back(gbkToWide(token ? result.tokens[reference] : result.links[reference]));
    }
    const bool copied = replaceClipboardWideText(window_.handle(), withLinks(text_, spans_, links));
    status_.set(copied ? batchConvertedText(result.converted, result.total) : kClipboardBusy);
}

}  // namespace quillane
