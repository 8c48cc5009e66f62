#pragma once
#include <optional>
#include <string>

#include "workflow/deployment.h"
#include "workflow/session_state.h"

namespace quillane {

enum class HarvestOutcome {
    NotLoggedIn,  // the store holds no form token: nothing was asked
    NoIds,        // the ad-zone service did not give both ids
    LoginExpired, // the ad-zone service said the store's login is over
    UnsafeConnection,  // the connection to the platform could not be made safe: nothing was sent
    Harvested,
};

struct HarvestResult {
    HarvestOutcome outcome = HarvestOutcome::NotLoggedIn;
    // The ids as the service gave them, for the status label; absent when nothing was asked.
    std::optional<std::string> idsText;
    std::string messageText;  // the box that ends every harvest
    std::string adzoneReply;  // the ad-zone service's reply, when it was asked
    // The session afterwards: replaced from the store and the reply only when Harvested;
    // otherwise the earlier one.
    SessionState session;
};

// The button "获取关键信息": reads the platform's session cookies from the system store, takes
// the form token out of them and asks the ad-zone service for the member's site id and
// ad-zone id.
HarvestResult harvestSessionKeys(const SessionState& session, const Deployment& deployment);

// The same harvest with a session the member pasted (a cookie text), for when the built-in login
// cannot be used. The session is kept in memory only: nothing goes to the cookie store.
HarvestResult harvestPastedSession(const SessionState& session, const std::string& cookies,
                                   const Deployment& deployment);

}  // namespace quillane
