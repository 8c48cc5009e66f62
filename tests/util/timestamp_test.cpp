// The millisecond timestamp against the system clock.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>

#include "util/timestamp.h"

namespace quillane {
namespace {

unsigned long long clockMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ULL) / 10000;
}

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Both the script control (present in Wine's 64-bit prefix) and the public reading give
// plain digits within a second of the clock, whatever the time zone.
TEST(Timestamp, ReadsTheClockInMillisecondsSince1970) {
    for (std::string (*reading)() : {scriptTimestamp, millisecondTimestamp}) {
        const unsigned long long before = clockMilliseconds();
        const std::string text = reading();
        const unsigned long long after = clockMilliseconds();
        ASSERT_TRUE(allDigits(text)) << text;
        EXPECT_EQ(text.size(), 13u) << text;
        const unsigned long long value = std::stoull(text);
        EXPECT_GE(value + 1000, before) << text;
        EXPECT_LE(value, after + 1000) << text;
    }
}

// The program reads the clock for every request it makes, so readings must not add to its
// memory (Wine keeps the script engine of every control that ran a script).
TEST(Timestamp, ReadingsDoNotGrowTheProcess) {
    const auto committed = [] {
        PROCESS_MEMORY_COUNTERS memory{};
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
        return memory.PagefileUsage;
    };
    ASSERT_FALSE(millisecondTimestamp().empty());  // what is kept for good is made now
    const SIZE_T before = committed();
    for (int i = 0; i < 300; ++i) {
        ASSERT_FALSE(millisecondTimestamp().empty());
    }
    EXPECT_LT(committed() - before, SIZE_T{1} << 20);
}

}  // namespace
}  // namespace quillane
