#include "app/status_line.h"

#include "app/main_window.h"
#include "app/window_system.h"
#include "workflow/member_texts.h"

namespace quillane {
namespace {

// How long a request the member waits for runs before the label says so.
constexpr UINT kProgressDelayMs = 300;

}  // namespace

void StatusLine::set(const std::string& text) {
    textBeforeProgress_.reset();
    window_.setStatusText(text);
}

void StatusLine::showBatchProgress(const std::string& text) {
    if (batchRunning_) {
        window_.setStatusText(text);
    }
}

void StatusLine::beginMemberWait() {
    if (memberWaits_++ == 0) {
        SetTimer(window_.handle(), MainWindow::kProgressTimerId, kProgressDelayMs, nullptr);
    }
}

void StatusLine::endMemberWait() {
    if (--memberWaits_ == 0) {
        KillTimer(window_.handle(), MainWindow::kProgressTimerId);
        // A run whose result left the label alone gives it back its text.
        if (textBeforeProgress_) {
            window_.setStatusText(*textBeforeProgress_);
            textBeforeProgress_.reset();
        }
    }
}

void StatusLine::onProgressDue() {
    KillTimer(window_.handle(), MainWindow::kProgressTimerId);
    if (memberWaits_ > 0 && !batchRunning_ && !textBeforeProgress_) {
        textBeforeProgress_ = controlText(window_.control(MainWindow::kStatusLabelId));
        window_.setStatusText(kQuerying);
    }
}

}  // namespace quillane
