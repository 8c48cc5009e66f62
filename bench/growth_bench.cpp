// No growth (5): the working set and the handle count of quillane.exe before and after 1000
// edit-box lookups and 200 Home captures. Replies come at once (no delay): only what the
// program keeps from run to run is measured, not how long the runs take.
#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "bench/support/flow_driver.h"
#include "bench/support/measure.h"
#include "harness/process_load.h"
#include "util/owners.h"

namespace quillane::bench {
namespace {

constexpr int kLookups = 1000;
constexpr int kHomeCaptures = 200;
constexpr int kSegments = 5;
constexpr int kWarmUpSegments = 2;
// Every tenth lookup fetches the item page first, as an address without the id makes it.
constexpr int kPageFetchEvery = 10;
constexpr int kSamples = 5;

struct Footprint {
    double workingSetMiB = 0;
    double committedMiB = 0;
    double handles = 0;
    double threads = 0;
};

class ProcessProbe {
public:
    explicit ProcessProbe(DWORD processId)
        : process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)), processId_(processId) {}
    ProcessProbe(const ProcessProbe&) = delete;
    ProcessProbe& operator=(const ProcessProbe&) = delete;

    // Several readings a short while apart: the working set moves a little by itself.
    std::vector<Footprint> samples() const {
        std::vector<Footprint> readings;
        for (int i = 0; i < kSamples; ++i) {
            PROCESS_MEMORY_COUNTERS memory{};
            if (!process_ || !GetProcessMemoryInfo(process_.get(), &memory, sizeof memory)) {
                return {};
            }
            const test::ProcessLoad load = test::processLoad(processId_);
            readings.push_back({memory.WorkingSetSize / 1048576.0, memory.PagefileUsage / 1048576.0,
                                static_cast<double>(load.handles), static_cast<double>(load.threads)});
            Sleep(100);
        }
        return readings;
    }

private:
    KernelHandle process_;
    DWORD processId_;
};

std::vector<double> field(const std::vector<Footprint>& readings, double Footprint::*member) {
    std::vector<double> values;
    for (const Footprint& reading : readings) {
        values.push_back(reading.*member);
    }
    return values;
}

// Each reading after the runs against the median before them.
Spread growth(const std::vector<Footprint>& before, const std::vector<Footprint>& after, double Footprint::*member) {
    const double base = spreadOf(field(before, member)).median;
    std::vector<double> grown;
    for (double value : field(after, member)) {
        grown.push_back(value - base);
    }
    return spreadOf(grown);
}

// One stretch of use as a member works: lookups through the edit box (every tenth with the
// page fetch) with Home captures among them.
bool segment(FlowDriver& driver, std::string& failure) {
    const int lookupsPerHome = kLookups / kHomeCaptures;
    for (int i = 0; i < kLookups / kSegments; ++i) {
        const std::string address =
            i % kPageFetchEvery == 0 ? driver.addressNeedingPage(i % 2) : driver.addressWithId(i % 2);
        if (!driver.lookup(address)) {
            failure = "lookup: " + driver.failure();
            return false;
        }
        if (i % lookupsPerHome == lookupsPerHome - 1 && !driver.home()) {
            failure = "Home capture: " + driver.failure();
            return false;
        }
    }
    return true;
}

int run() {
    FlowDriver driver;
    std::string failure = driver.start(0);
    if (!failure.empty()) {
        reportFailure("5", "no growth", failure);
        return 1;
    }
    ProcessProbe probe(driver.appProcessId());
    // Two first stretches load what the program keeps for good (libraries, fonts, the script
    // engine, the threads Wine starts on demand), so that the readings before and after find
    // the process in the same kind of moment: just after a Home capture.
    for (int i = 0; i < kWarmUpSegments; ++i) {
        if (!segment(driver, failure)) {
            reportFailure("5", "no growth", "warm-up " + failure);
            return 1;
        }
    }
    const std::vector<Footprint> before = probe.samples();
    if (before.empty()) {
        reportFailure("5", "no growth", "the process's memory and handles cannot be read");
        return 1;
    }
    // Committed memory after each stretch against the one before: a leak grows every stretch,
    // a step of Wine's own (a thread and its stack) only one.
    std::vector<double> perSegment;
    double last = spreadOf(field(before, &Footprint::committedMiB)).median;
    std::vector<Footprint> after;
    for (int i = 0; i < kSegments; ++i) {
        if (!segment(driver, failure)) {
            reportFailure("5", "no growth", failure);
            return 1;
        }
        after = probe.samples();
        const double now = spreadOf(field(after, &Footprint::committedMiB)).median;
        perSegment.push_back(1024 * (now - last));
        last = now;
    }

    const std::string what = std::to_string(kLookups) + " lookups and " + std::to_string(kHomeCaptures) +
                             " Home captures, interleaved; " + std::to_string(kSamples) +
                             " readings after against the median of " + std::to_string(kSamples) + " before";
    const auto medianBefore = [&](double Footprint::*member) {
        return formatNumber(spreadOf(field(before, member)).median);
    };
    report({"5", "working set growth", growth(before, after, &Footprint::workingSetMiB), "MiB", Goal::AtMost, 1.0,
            what + "; before " + medianBefore(&Footprint::workingSetMiB) + " MiB"});
    report({"5", "handle count growth", growth(before, after, &Footprint::handles), "", Goal::AtMost, 10,
            what + "; before " + medianBefore(&Footprint::handles)});
    report({"5", "committed memory growth", growth(before, after, &Footprint::committedMiB), "MiB", Goal::Info, 0,
            "before " + medianBefore(&Footprint::committedMiB) + " MiB"});
    report({"5", "committed memory growth per stretch", spreadOf(perSegment), "KiB", Goal::Info, 0,
            std::to_string(kSegments) + " stretches of " + std::to_string(kLookups / kSegments) + " lookups and " +
                std::to_string(kHomeCaptures / kSegments) + " Home captures"});
    report({"5", "thread count growth", growth(before, after, &Footprint::threads), "", Goal::Info, 0,
            "before " + medianBefore(&Footprint::threads) + "; Wine starts and ends some threads on demand"});
    return 0;
}

}  // namespace
}  // namespace quillane::bench

int main() {
    return quillane::bench::run();
}
