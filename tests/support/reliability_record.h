#pragma once
// What the reliability suite observes, case by case, and the checks it shares: whether the
// member's session survived, whether it went anywhere but the platform's API host, and what
// a process holds. Each test program appends its counts to one results file in the build
// folder (ctest runs every test in a process of its own); the test command prints the totals.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/platform_sim_client.h"
#include "harness/process_load.h"

namespace quillane::test {

// Counts of one category, written to the results file when the record goes.
class ReliabilityRecord {
public:
    explicit ReliabilityRecord(std::string category) : category_(std::move(category)) {}
    ~ReliabilityRecord();
    ReliabilityRecord(const ReliabilityRecord&) = delete;
    ReliabilityRecord& operator=(const ReliabilityRecord&) = delete;

    // One case: whether the program came through it as it should, and whether the session
    // state it held before was still whole afterwards.
    void caseRun(bool survived, bool stateKept);
    void cookiesLeaked(int requests) { leaked_ += requests; }

private:
    std::string category_;
    int cases_ = 0;
    int survived_ = 0;
    int lost_ = 0;
    int leaked_ = 0;
};

// The requests that carried the session (the session cookie or the token cookie, as the
// simulator issues them) to any host but the API host.
int sessionCookieLeaks(const std::vector<SimRequest>& requests, const std::string& apiHost);
// The same for raw requests that reached another server (none of them may carry it).
int sessionCookieLeaks(const std::vector<std::string>& rawRequests);

// A request to the API host carries the member's whole session: the login's cookies and the
// token, in the cookies and in the query.
bool carriesSession(const SimRequest& request);

}  // namespace quillane::test
