#pragma once
#include <string>

#include "workflow/deployment.h"
#include "workflow/login_recovery.h"
#include "workflow/session_state.h"

namespace quillane {

struct LinkResult {
    bool made = false;   // the link service answered with its success marker and a link
    std::string link;    // for the clipboard, when made
    LoginCheck login;
    SessionState session;  // with the link kept as affiliateLink when made
};

// Asks the link service for the member's link to the item last looked up. A reply without a
// link changes nothing but the session's cookies (and the session, when a newer login was
// harvested on the way).
// relogin: shared with the requests of the same run, when they go out side by side.
LinkResult makeAffiliateLink(const SessionState& session, const Deployment& deployment,
                             SharedRelogin* relogin = nullptr);

}  // namespace quillane
