#include "tests/support/reliability_record.h"

#include <cstdio>
#include <vector>

#include "sim/platform_sim/defaults.h"
#include "harness/ui_driver.h"

namespace quillane::test {
namespace {

bool holdsSession(std::string_view cookieText) {
    return cookieText.find(platform_sim::kSessionCookieValue) != std::string_view::npos ||
           cookieText.find(std::string(platform_sim::kTokenCookieName) + "=" + platform_sim::kDefaultToken) !=
               std::string_view::npos;
}

}  // namespace

ReliabilityRecord::~ReliabilityRecord() {
    // Beside the programs' folder, where the test command looks for it.
    const std::wstring path = binFolder() + L"..\\reliability-results.txt";
    FILE* file = _wfopen(path.c_str(), L"ab");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "%s %d %d %d %d\n", category_.c_str(), cases_, survived_, lost_, leaked_);
    std::fclose(file);
}

void ReliabilityRecord::caseRun(bool survived, bool stateKept) {
    ++cases_;
    survived_ += survived ? 1 : 0;
    lost_ += stateKept ? 0 : 1;
}

int sessionCookieLeaks(const std::vector<SimRequest>& requests, const std::string& apiHost) {
    int leaks = 0;
    for (const SimRequest& request : requests) {
        if (request.host() != apiHost && holdsSession(request.cookieHeader())) {
            ++leaks;
        }
    }
    return leaks;
}

int sessionCookieLeaks(const std::vector<std::string>& rawRequests) {
    int leaks = 0;
    for (const std::string& request : rawRequests) {
        leaks += holdsSession(request) ? 1 : 0;
    }
    return leaks;
}

bool carriesSession(const SimRequest& request) {
    const std::string cookies = request.cookieHeader();
    const std::string token = platform_sim::kDefaultToken;
    return cookies.find(std::string(platform_sim::kSessionCookieName) + "=" + platform_sim::kSessionCookieValue) !=
               std::string::npos &&
           cookies.find(std::string(platform_sim::kTokenCookieName) + "=" + token) != std::string::npos &&
           cookies.find(std::string(platform_sim::kTrackCookieName) + "=" + platform_sim::kTrackCookieValue) !=
               std::string::npos &&
           request.queryValue(platform_sim::kTokenCookieName) == token;
}

}  // namespace quillane::test
