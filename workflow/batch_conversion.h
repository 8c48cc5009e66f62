#pragma once
// Every item reference of a pasted message turned into the member's link at once. It touches
// no window: it takes copies of the session and the deployment values, runs its requests side
// by side on the threads that parallel gives, and returns a result value like every other
// workflow routine.
#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "workflow/deployment.h"
#include "workflow/reading/item_reference.h"
#include "workflow/reading/link_reply.h"
#include "workflow/login_recovery.h"
#include "workflow/parallel_work.h"
#include "workflow/session_state.h"

namespace quillane {

// Requests of one batch in flight to the platform at a time.
inline constexpr std::size_t kMaxRequestsInFlight = 4;

// A link made for an item, with the 淘口令 its reply carried.
struct ItemLink {
    std::string itemId;
    std::string link;
    ShareTokens tokens;
};

struct BatchResult {
    std::size_t total = 0;  // references of the message, converted or not
    // One for each reference converted (the first kMaxBatchReferences): the member's link to
    // its item, empty when none was made.
    std::vector<std::string> links;
    // Beside each link, the 淘口令 to hand a buyer in its place (shareToken): empty when the
    // reply had none.
    std::vector<std::string> tokens;
    std::size_t converted = 0;  // references that got a link
    // The link made for each item, for the program to keep.
    std::vector<ItemLink> itemLinks;
    // expired: the batch stopped when the platform said the login is over.
    LoginCheck login;
    // The session of a newer login harvested on the way, for the program to keep.
    std::optional<SessionState> reharvestedSession;
    // The session's cookies with whatever every link reply set merged in, as a run of single
    // link requests would have left them.
    std::string sessionCookies;
};

// Called from the batch's threads each time more references are settled: how many of count.
using BatchProgress = std::function<void(std::size_t settled, std::size_t count)>;

// Resolves each reference to its item (as a lookup does) and asks for one link per distinct
// item, with at most maxInFlight requests in flight (fewer only for comparison). Once stop is
// set, or the login has expired, no further request starts.
BatchResult convertReferences(const std::vector<ItemReference>& references, const SessionState& session,
                              const Deployment& deployment, const std::atomic<bool>& stop,
                              const BatchProgress& progress, ParallelWork& parallel,
                              std::size_t maxInFlight = kMaxRequestsInFlight);

// The status label's texts of a batch.
std::string batchFoundText(std::size_t count);
std::string batchProgressText(std::size_t settled, std::size_t count);
// After a batch that converted some: all of them, or how many of the total failed.
std::string batchConvertedText(std::size_t converted, std::size_t total);

}  // namespace quillane
