#include "app/result_rendering.h"

#include "app/window_system.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"

namespace quillane {

void showLoginChange(MainWindow& window, const LoginCheck& login) {
    if (login.expired) {
        window.showLoginView(deployment().homeUrl);
    } else if (login.reharvested) {
        window.showCompactView();
    }
}

std::optional<CopiedForm> copyLink(MainWindow& window, StatusLine& status, const LinkResult& result,
                                   const ItemOffer& offer) {
    showLoginChange(window, result.login);
    if (!result.made) {
        status.set(result.login.expired            ? kLoginExpired
                   : result.login.unsafeConnection ? kUnsafeConnection
                                                   : kLinkFailure);
        return std::nullopt;
    }
    // The link stays kept when the clipboard is busy: a second try or "打开返利链接" still works.
    // Whether the member shares 淘口令 is read as the result shows.
    const ClipboardCopy copy = clipboardCopyOf(result, offer, window.shareTokensChecked());
    if (!replaceClipboardText(window.handle(), copy.text)) {
        status.set(kClipboardBusy);
        return std::nullopt;
    }
    status.set(copiedSentence(copy.form));
    return copy.form;
}

}  // namespace quillane
