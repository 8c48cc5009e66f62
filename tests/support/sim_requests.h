#pragma once
// What the simulated platform saw, as the tests ask for it.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "harness/platform_sim_client.h"

namespace quillane::test {

// The last request to the path; an empty record and a test failure when there was none.
inline SimRequest lastRequestTo(PlatformSim& sim, std::string_view path) {
    const std::vector<SimRequest> found = sim.requestsTo(path);
    if (found.empty()) {
        ADD_FAILURE() << "no request reached " << path;
        return {};
    }
    return found.back();
}

// The request lines, one a line: what a count of requests that is off went out for.
inline std::string requestLines(const std::vector<SimRequest>& requests) {
    std::string lines;
    for (const SimRequest& request : requests) {
        lines += request.requestLine + "\n";
    }
    return lines;
}

}  // namespace quillane::test
