#pragma once
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "workflow/deployment.h"
#include "workflow/harvest.h"
#include "workflow/session_state.h"

namespace quillane {

// What became of the member's login during a run.
struct LoginCheck {
    bool expired = false;      // the platform said the login is over, and no newer one was found
    bool reharvested = false;  // a newer login in the store was harvested without a box
    // The connection to the platform could not be made safe (its certificate or the TLS
    // handshake failed): nothing was sent and the session is as it was.
    bool unsafeConnection = false;
};

// Builds a service's address from the session (its token goes into the query).
using ServiceUrl = std::function<std::string(const SessionState&)>;

// The requests of one run that go out side by side: the first that finds the login over
// harvests the newer one, and the others take that harvest instead of making their own, so
// that a run harvests silently at most once.
class SharedRelogin {
public:
    HarvestResult harvestOnce(const SessionState& session, const Deployment& deployment);

private:
    std::mutex mutex_;
    std::optional<HarvestResult> harvest_;
};

// A request to one of the platform's services with the session's cookies. When the reply
// says the login is over and the cookie store now holds another login than the one the
// session was harvested from (the member has logged in again), that login is harvested
// without a box and the request is repeated once with it. Otherwise the session keeps its
// token and ids, and login.expired says so. Returns the last reply.
std::string requestKeepingLogin(SessionState& session, const Deployment& deployment, const ServiceUrl& url,
                                LoginCheck& login, SharedRelogin* relogin = nullptr);

}  // namespace quillane
