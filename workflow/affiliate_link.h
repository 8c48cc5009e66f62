#pragma once
#include <string>

#include "workflow/deployment.h"
#include "workflow/reading/link_reply.h"
#include "workflow/reading/share_text.h"
#include "workflow/login_recovery.h"
#include "workflow/session_state.h"

namespace quillane {

struct LinkResult {
    std::string itemId;  // the item the link was asked for
    bool made = false;   // the link service answered with its success marker and a link
    std::string link;    // for the clipboard, when made
    ShareTokens tokens;  // the reply's 淘口令, when made
    LoginCheck login;
    SessionState session;  // the login afterwards, with the reply's cookies
};

// What a made link puts on the clipboard.
enum class CopiedForm {
    Link,
    ShareText,         // the member wanted 淘口令 and the reply had one
    LinkWithoutToken,  // the member wanted 淘口令, but the reply had none
};

struct ClipboardCopy {
    std::string text;
    CopiedForm form = CopiedForm::Link;
};

// The link, or when the member shares 淘口令 the share text of the item (offer: what its
// lookup read), for a link that was made.
ClipboardCopy clipboardCopyOf(const LinkResult& link, const ItemOffer& offer, bool shareText);
// What the status label says once the copy is on the clipboard.
const char* copiedSentence(CopiedForm form);

// Asks the link service for the member's link to the item. A reply without a link changes
// nothing but the session's cookies (and the session, when a newer login was harvested on the
// way).
// relogin: shared with the requests of the same run, when they go out side by side.
LinkResult makeAffiliateLink(const SessionState& session, const std::string& itemId, const Deployment& deployment,
                             SharedRelogin* relogin = nullptr);

}  // namespace quillane
