#pragma once
#include <string>

#include "workflow/deployment.h"
#include "workflow/session_state.h"

namespace quillane {

struct LinkResult {
    bool made = false;   // the link service answered with its success marker
    std::string link;    // for the clipboard, when made
    SessionState session;  // with the link kept as affiliateLink when made
};

// Asks the link service for the member's link to the item last looked up. An unsuccessful
// reply changes nothing but the session's cookies.
LinkResult makeAffiliateLink(const SessionState& session, const Deployment& deployment);

}  // namespace quillane
