// No growth (5): the working set and the handle count of quillane.exe before and after 1000
// edit-box lookups and 200 Home captures. Replies come at once (no delay): only what the
// program keeps from run to run is measured, not how long the runs take.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/support/flow_driver.h"
#include "bench/support/measure.h"

namespace quillane::bench {
namespace {

constexpr int kLookups = 1000;
constexpr int kHomeCaptures = 200;
// Every tenth lookup fetches the item page first, as an address without the id makes it.
constexpr int kPageFetchEvery = 10;
constexpr int kWarmUpRuns = 20;
constexpr int kSamples = 5;

// Handle values are multiples of four; this bounds the search far above what the program uses.
constexpr ULONG_PTR kHighestHandleValue = 4 * 4096;

struct Footprint {
    double workingSetMiB = 0;
    double committedMiB = 0;
    double handles = 0;
};

class ProcessProbe {
public:
    explicit ProcessProbe(DWORD processId)
        : process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE, FALSE, processId)) {}
    ~ProcessProbe() {
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }
    ProcessProbe(const ProcessProbe&) = delete;
    ProcessProbe& operator=(const ProcessProbe&) = delete;

    // Several readings a short while apart: the working set moves a little by itself.
    std::vector<Footprint> samples() const {
        std::vector<Footprint> readings;
        for (int i = 0; i < kSamples; ++i) {
            PROCESS_MEMORY_COUNTERS memory{};
            if (process_ == nullptr || !GetProcessMemoryInfo(process_, &memory, sizeof memory)) {
                return {};
            }
            readings.push_back({memory.WorkingSetSize / 1048576.0, memory.PagefileUsage / 1048576.0, openHandles()});
            Sleep(100);
        }
        return readings;
    }

private:
    // Wine reports no handle count for another process (GetProcessHandleCount gives 0, the
    // system process list the size of the handle table): every handle value that can be
    // duplicated out of the process is one open handle.
    double openHandles() const {
        int open = 0;
        for (ULONG_PTR value = 4; value <= kHighestHandleValue; value += 4) {
            HANDLE copy = nullptr;
            if (DuplicateHandle(process_, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS)) {
                ++open;
                CloseHandle(copy);
            }
        }
        return open;
    }

    HANDLE process_;
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

bool lookups(FlowDriver& driver, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string address =
            i % kPageFetchEvery == 0 ? driver.addressNeedingPage(i % 2) : driver.addressWithId(i % 2);
        if (!driver.lookup(address)) {
            return false;
        }
    }
    return true;
}

bool homeCaptures(FlowDriver& driver, int count) {
    for (int i = 0; i < count; ++i) {
        if (!driver.home()) {
            return false;
        }
    }
    return true;
}

int run() {
    FlowDriver driver;
    const std::string failure = driver.start(0);
    if (!failure.empty()) {
        reportFailure("5", "no growth", failure);
        return 1;
    }
    ProcessProbe probe(driver.appProcessId());
    // The first runs load what the program keeps for good (libraries, fonts, the script engine).
    bool homeWorks = homeCaptures(driver, kWarmUpRuns / 2);
    const std::string homeFailure = homeWorks ? std::string() : driver.failure();
    if (!lookups(driver, kWarmUpRuns)) {
        reportFailure("5", "no growth", "warm-up lookup: " + driver.failure());
        return 1;
    }
    const std::vector<Footprint> before = probe.samples();
    if (before.empty()) {
        reportFailure("5", "no growth", "the process's memory and handles cannot be read");
        return 1;
    }
    if (!lookups(driver, kLookups)) {
        reportFailure("5", "no growth", "lookup: " + driver.failure());
        return 1;
    }
    const std::vector<Footprint> afterLookups = probe.samples();
    if (homeWorks && !homeCaptures(driver, kHomeCaptures)) {
        homeWorks = false;
    }
    const std::vector<Footprint> after = probe.samples();

    const std::string what = std::to_string(kLookups) + " lookups (every " + std::to_string(kPageFetchEvery) +
                             "th with the page fetch)" +
                             (homeWorks ? " and " + std::to_string(kHomeCaptures) + " Home captures" : std::string()) +
                             "; " + std::to_string(kSamples) + " readings after against the median of " +
                             std::to_string(kSamples) + " before";
    report({"5", "working set growth", growth(before, after, &Footprint::workingSetMiB), "MiB", Goal::AtMost, 1.0,
            what + "; before " + formatNumber(spreadOf(field(before, &Footprint::workingSetMiB)).median) + " MiB"});
    report({"5", "handle count growth", growth(before, after, &Footprint::handles), "", Goal::AtMost, 10,
            what + "; before " + formatNumber(spreadOf(field(before, &Footprint::handles)).median)});
    report({"5", "committed memory growth", growth(before, after, &Footprint::committedMiB), "MiB", Goal::Info, 0,
            what + "; before " + formatNumber(spreadOf(field(before, &Footprint::committedMiB)).median) + " MiB"});
    report({"5", "working set growth over the lookups alone", growth(before, afterLookups, &Footprint::workingSetMiB),
            "MiB", Goal::Info, 0, std::to_string(kLookups) + " lookups"});
    report({"5", "handle count growth over the lookups alone", growth(before, afterLookups, &Footprint::handles), "",
            Goal::Info, 0, std::to_string(kLookups) + " lookups"});
    if (!homeWorks) {
        reportFailure("5", "growth over Home captures", homeFailure.empty() ? driver.failure() : homeFailure);
    }
    return 0;
}

}  // namespace
}  // namespace quillane::bench

int main() {
    return quillane::bench::run();
}
