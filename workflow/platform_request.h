#pragma once
#include <string>

#include "workflow/session_state.h"

namespace quillane {

// A GET of one of the platform's services that carries the session's cookies; the cookies
// the reply sets join the session. Returns the reply's body as it arrived (the platform's
// JSON, in UTF-8), empty when the exchange failed;
// unsafeConnection, if given, says whether it failed because the connection could not be made
// safe (nothing was sent then, and the session is unchanged).
std::string requestWithSession(SessionState& session, const std::string& url, bool* unsafeConnection = nullptr);

}  // namespace quillane
