#pragma once
// Telling a reply that says the member's login is over.
#include <string_view>

namespace quillane {

// The reply (UTF-8, as it arrived) of any of the platform's services says, in the message of
// its "info", that the session has expired ("nologin") or that the form token is stale.
bool isLoginExpiredReply(std::string_view reply);

}  // namespace quillane
