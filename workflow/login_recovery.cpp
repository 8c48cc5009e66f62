#include "workflow/login_recovery.h"

#include "util/cookie_store.h"
#include "workflow/harvest.h"
#include "workflow/reading/login_expiry.h"
#include "workflow/platform_request.h"

namespace quillane {

HarvestResult SharedRelogin::harvestOnce(const SessionState& session, const Deployment& deployment) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!harvest_) {
        harvest_ = harvestSessionKeys(session, deployment);
    }
    return *harvest_;
}

std::string requestKeepingLogin(SessionState& session, const Deployment& deployment, const ServiceUrl& url,
                                LoginCheck& login, SharedRelogin* relogin) {
    std::string reply = requestWithSession(session, url(session), &login.unsafeConnection);
    if (!isLoginExpiredReply(reply)) {
        return reply;
    }
    // Only a session that was harvested has a login to compare with: before the first harvest
    // the member is asked to press the button, which also shows the ids for checking. A pasted
    // session compares with the store as it was at the paste, which may have been empty.
    const bool loggedInAgain = !session.formToken.empty() &&
                               readStoreCookies(deployment.cookieDomain) != session.harvestedStoreText;
    if (loggedInAgain) {
        const HarvestResult harvest =
            relogin != nullptr ? relogin->harvestOnce(session, deployment) : harvestSessionKeys(session, deployment);
        if (harvest.outcome == HarvestOutcome::Harvested) {
            session = harvest.session;
            login.reharvested = true;
            reply = requestWithSession(session, url(session), &login.unsafeConnection);
        }
        login.unsafeConnection = login.unsafeConnection || harvest.outcome == HarvestOutcome::UnsafeConnection;
    }
    login.expired = isLoginExpiredReply(reply);
    return reply;
}

}  // namespace quillane
