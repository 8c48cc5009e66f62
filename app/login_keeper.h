#pragma once
// The login every flow's requests carry and the links made with it. The login (cookies, form
// token, site and ad-zone ids) is one value, replaced as a whole by a newer login; the links
// are kept per item, each with its 淘口令, and forgotten with the login they were made under.
// No window: the window thread calls it, and a job takes a copy of the login along.
#include <cstdint>
#include <map>
#include <string>

#include "workflow/affiliate_link.h"
#include "workflow/reading/link_reply.h"
#include "workflow/session_state.h"

namespace quillane {

struct KeptLink {
    std::string link;
    ShareTokens tokens;
};

class LoginKeeper {
public:
    const SessionState& login() const { return login_; }
    // Changes whenever a newer login replaces the login: a job notes it at its start.
    std::uint64_t epoch() const { return epoch_; }

    // A job's login afterwards. A newer login replaces the login and forgets the links of the
    // old one; otherwise only the cookies that the job's replies renewed join it, and only when
    // the login is still the one the job started with.
    void adopt(const SessionState& after, std::uint64_t epochAtStart, bool newLogin);
    // Keeps a link made for the item by a job that started at epochAtStart; a link of a login
    // that is gone is not kept.
    void keepLink(const std::string& itemId, const KeptLink& link, std::uint64_t epochAtStart);
    // A link request's end: its login adopted, and its link kept when one was made.
    void takeLinkResult(const LinkResult& result, std::uint64_t epochAtStart);

    // The link made for the item under this login; null when none was.
    const KeptLink* link(const std::string& itemId) const;

private:
    SessionState login_;
    std::uint64_t epoch_ = 0;
    std::map<std::string, KeptLink> links_;
};

}  // namespace quillane
