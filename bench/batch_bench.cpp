// batch_bench.exe: converting a whole message of 20 items, each with its id in its address,
// against the simulated platform replying after D = 100 ms.
//   B1  the real quillane.exe: from the double-click to the status label that says all were
//       converted; target at most 1.2 x (20 / 4) x D, four requests being in flight at a time
//   B2  the same batch in this process, four in flight
//   B3  the same batch in this process, one request at a time: the reference figure
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/workers.h"
#include "bench/support/flow_driver.h"
#include "bench/support/measure.h"
#include "workflow/batch_conversion.h"
#include "workflow/reading/batch_text.h"
#include "workflow/harvest.h"
#include "workflow/member_texts.h"

namespace quillane::bench {
namespace {

constexpr int kReplyDelayMs = 100;
constexpr int kItems = 20;
constexpr int kRounds = 7;

// Two messages of the same 20 items in another order, so that consecutive pastes change the box.
std::string message(FlowDriver& driver, int round) {
    std::string text = "今日好物\r\n";
    for (int item = 0; item < kItems; ++item) {
        const int which = round % 2 == 0 ? item : kItems - 1 - item;
        text += std::to_string(which + 1) + ". " + driver.sim().otherUrl("/item.htm?id=300000000" +
                                                                         std::to_string(10 + which)) + "\r\n";
    }
    return text;
}

// The session that quillane.exe harvests, harvested in this process from the same cookie store.
std::optional<SessionState> harvestedHere(FlowDriver& driver, Deployment& deployment) {
    for (const auto& [name, value] : driver.sim().deploymentVariables()) {
        if (name == "QUILLANE_API_HOST") {
            deployment.apiHost = value;
        } else if (name == "QUILLANE_COOKIE_DOMAIN") {
            deployment.cookieDomain = value;
        } else if (name == "QUILLANE_ITEM_HOST") {
            deployment.itemHost = value;
        }
    }
    const HarvestResult harvest = harvestSessionKeys(SessionState{}, deployment);
    if (harvest.outcome != HarvestOutcome::Harvested) {
        return std::nullopt;
    }
    return harvest.session;
}

int run() {
    FlowDriver driver;
    const std::string failure = driver.start(kReplyDelayMs);
    if (!failure.empty()) {
        reportFailure("B1", "batch of 20 at D = 100 ms", failure);
        return 1;
    }
    const std::string found = std::string(kBatchFound) + std::to_string(kItems) + kBatchFoundEnd;
    const std::string converted = std::string(kBatchConverted) + std::to_string(kItems) + kBatchConvertedEnd;
    std::vector<double> latencies;
    std::vector<double> requests;
    for (int round = 0; round < kRounds; ++round) {
        if (const std::string shown = driver.paste(message(driver, round)); shown != found) {
            reportFailure("B1", "batch of 20 at D = 100 ms", "the paste did not find 20 items");
            return 1;
        }
        driver.sim().clearLog();
        const std::optional<double> latency = driver.doubleClickUntil(converted);
        if (!latency) {
            reportFailure("B1", "batch of 20 at D = 100 ms", driver.failure());
            return 1;
        }
        latencies.push_back(*latency);
        requests.push_back(static_cast<double>(driver.sim().requests().size()));
    }
    const double batchTarget = 1.2 * (kItems / static_cast<double>(kMaxRequestsInFlight)) * kReplyDelayMs;
    const std::string runs = std::to_string(kRounds) + " runs";
    report({"B1", "batch of 20 ids: double-click to the label", spreadOf(latencies), "ms", Goal::AtMost, batchTarget,
            runs + "; target 1.2 x (20 / 4) x D"});
    report({"B1", "batch of 20 ids: requests per batch", spreadOf(requests), "", Goal::Exactly, kItems,
            "one link request per item, as the simulator saw them"});

    Deployment deployment;
    const std::optional<SessionState> session = harvestedHere(driver, deployment);
    if (!session) {
        reportFailure("B2", "batch of 20 in process", "the harvest in this process failed");
        return 1;
    }
    const std::vector<ItemReference> references = readItemReferences(message(driver, 0));
    WorkerPool workers;  // as the program runs a batch: on its workers, the caller among them
    for (const auto& [id, inFlight] : {std::pair{"B2", kMaxRequestsInFlight}, std::pair{"B3", std::size_t{1}}}) {
        std::vector<double> times;
        for (int round = 0; round < kRounds; ++round) {
            const std::atomic<bool> stop{false};
            Stopwatch watch;
            const BatchResult result =
                convertReferences(references, *session, deployment, stop, [](std::size_t, std::size_t) {}, workers,
                                  inFlight);
            if (result.converted != static_cast<std::size_t>(kItems)) {
                reportFailure(id, "batch of 20 in process", "converted " + std::to_string(result.converted));
                return 1;
            }
            times.push_back(watch.elapsedMs());
        }
        report({id, "batch of 20 ids in process, " + std::to_string(inFlight) + " in flight", spreadOf(times), "ms",
                Goal::Info, 0, runs + (inFlight == 1 ? "; the reference: one at a time" : "")});
    }
    return 0;
}

}  // namespace
}  // namespace quillane::bench

int main() {
    return quillane::bench::run();
}
