// The program's worker threads: parallel sections whose caller takes part, bounded waits for
// work that may never end, and what a worker's apartment gives the jobs that need COM.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/workers.h"
#include "harness/wait.h"
#include "util/owners.h"
#include "util/timestamp.h"

namespace quillane {
namespace {

// An event the test sets when a job blocked on it may go on.
struct Gate {
    KernelHandle open{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    void wait() const { WaitForSingleObject(open.get(), INFINITE); }
    void release() const { SetEvent(open.get()); }
};

struct SectionCase {
    std::size_t count;
    std::size_t width;
};

TEST(WorkerPool, ASectionRunsEachIndexOnceOnAtMostItsWidthWithTheCallerAmongThem) {
    WorkerPool workers(4);
    const SectionCase cases[] = {{0, 4}, {1, 4}, {7, 1}, {40, 3}, {40, 8}};
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " tasks, width " + std::to_string(c.width));
        std::vector<std::atomic<int>> runs(c.count);
        std::atomic<int> inside{0};
        std::atomic<int> mostInside{0};
        std::set<DWORD> threads;
        std::mutex threadsMutex;
        workers.forEach(c.count, c.width, [&](std::size_t index) {
            const int now = ++inside;
            for (int seen = mostInside; now > seen && !mostInside.compare_exchange_weak(seen, now);) {
            }
            {
                const std::lock_guard<std::mutex> lock(threadsMutex);
                threads.insert(GetCurrentThreadId());
            }
            Sleep(2);  // long enough for the helpers to join in
            ++runs[index];
            --inside;
        });
        for (std::size_t index = 0; index < c.count; ++index) {
            EXPECT_EQ(runs[index], 1) << index;
        }
        EXPECT_LE(static_cast<std::size_t>(mostInside.load()), c.width);
        // Whether the caller gets an index of its own here is the scheduler's choice (on a busy
        // machine the helpers may take them all); that it takes part is shown below, where no
        // helper is free.
        EXPECT_LE(threads.size(), c.width);
    }
}

// Every worker is held by a job that waits for the section: the caller alone does the work.
TEST(WorkerPool, ASectionEndsWhenEveryWorkerIsBusy) {
    WorkerPool workers(2);
    Gate gate;
    for (int busy = 0; busy < 2; ++busy) {
        workers.submit([&gate] { gate.wait(); });
    }
    std::atomic<int> done{0};
    workers.forEach(5, 3, [&](std::size_t) { ++done; });
    EXPECT_EQ(done, 5);
    gate.release();
}

TEST(WorkerPool, ABoundedRunGivesUpOnAJobThatDoesNotEndAndTheJobGoesOnAlone) {
    WorkerPool workers(2);
    auto gate = std::make_shared<Gate>();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    EXPECT_FALSE(workers.runWithin(
        [gate, finished] {
            gate->wait();
            *finished = true;
        },
        100));
    EXPECT_FALSE(*finished);
    gate->release();
    EXPECT_TRUE(test::waitUntil([&] { return finished->load(); }));
    bool ran = false;
    EXPECT_TRUE(workers.runWithin([&ran] { ran = true; }, 5000));
    EXPECT_TRUE(ran);
}

// The workers share the multithreaded apartment; the script control of the timestamp still
// answers there (COM hosts it in an apartment of its own).
TEST(WorkerPool, AWorkerReadsTheScriptTimestamp) {
    WorkerPool workers(1);
    std::string reading;
    APTTYPE apartment = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    ASSERT_TRUE(workers.runWithin(
        [&] {
            CoGetApartmentType(&apartment, &qualifier);
            reading = scriptTimestamp();
        },
        10000));
    EXPECT_EQ(apartment, APTTYPE_MTA);
    EXPECT_EQ(reading.size(), 13u) << reading;
    EXPECT_EQ(reading.find_first_not_of("0123456789"), std::string::npos) << reading;
}

}  // namespace
}  // namespace quillane
