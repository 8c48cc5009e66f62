#pragma once
#include <functional>
#include <string>

#include "workflow/deployment.h"
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

// A request to one of the platform's services with the session's cookies. When the reply
// says the login is over and the cookie store now holds another login than the one the
// session was harvested from (the member has logged in again), that login is harvested
// without a box and the request is repeated once with it. Otherwise the session keeps its
// token and ids, and login.expired says so. Returns the last reply.
std::string requestKeepingLogin(SessionState& session, const Deployment& deployment, const ServiceUrl& url,
                                LoginCheck& login);

}  // namespace quillane
