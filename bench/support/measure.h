#pragma once
// Timing and reporting for the benchmarks. Times come from the performance counter, the one
// clock under Wine fine enough for single requests. Every figure is reported as the median of
// repeated runs with their minimum and maximum, as one row of a Markdown table on stdout.
#include <windows.h>

#include <string>
#include <vector>

namespace quillane::bench {

class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart() { QueryPerformanceCounter(&start_); }
    double elapsedMs() const;

    // The counter now, in milliseconds since an arbitrary origin.
    static double nowMs();

private:
    LARGE_INTEGER start_{};
};

struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};

Spread spreadOf(std::vector<double> samples);

// How a figure is judged against its target.
enum class Goal { AtMost, Below, Exactly, Info };

struct Figure {
    std::string id;       // "1", "2a", ...
    std::string name;     // what was measured
    Spread spread;
    std::string unit;     // "x", "ms", "%", ...
    Goal goal = Goal::Info;
    double target = 0;
    std::string note;     // how many runs, counts seen, ...
};

// Prints one table row, with whether the median meets the target (for Goal::Exactly: every run).
void report(const Figure& figure);
// A row for a figure that could not be measured, with the reason.
void reportFailure(const std::string& id, const std::string& name, const std::string& reason);

// Formats a number with a precision that suits its size.
std::string formatNumber(double value);

}  // namespace quillane::bench
