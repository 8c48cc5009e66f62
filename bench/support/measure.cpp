#include "bench/support/measure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quillane::bench {
namespace {

double counterFrequency() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return frequency;
}

}  // namespace

double Stopwatch::elapsedMs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / counterFrequency();
}

double Stopwatch::nowMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / counterFrequency();
}

Spread spreadOf(std::vector<double> samples) {
    Spread spread;
    if (samples.empty()) {
        return spread;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    spread.median = samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    spread.min = samples.front();
    spread.max = samples.back();
    return spread;
}

std::string formatNumber(double value) {
    char text[32];
    const double magnitude = std::fabs(value);
    // Counts print as whole numbers; ratios and small figures with three decimals, so that a
    // figure just past its target does not print as the target itself.
    const bool whole = value == std::round(value);
    const char* format = whole || magnitude >= 100 ? "%.0f" : magnitude >= 10 ? "%.1f" : "%.3f";
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void report(const Figure& figure) {
    bool met = true;
    std::string target = "-";
    switch (figure.goal) {
    case Goal::AtMost:
        met = figure.spread.median <= figure.target;
        target = "<= " + formatNumber(figure.target);
        break;
    case Goal::Below:
        met = figure.spread.median < figure.target;
        target = "< " + formatNumber(figure.target);
        break;
    case Goal::Exactly:
        met = figure.spread.min == figure.target && figure.spread.max == figure.target;
        target = "= " + formatNumber(figure.target);
        break;
    case Goal::Info:
        break;
    }
    if (figure.goal != Goal::Info && !figure.unit.empty()) {
        target += " " + figure.unit;
    }
    const char* verdict = figure.goal == Goal::Info ? "" : met ? "yes" : "**no**";
    std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", figure.id.c_str(), figure.name.c_str(),
                formatNumber(figure.spread.median).c_str(), formatNumber(figure.spread.min).c_str(),
                formatNumber(figure.spread.max).c_str(), figure.unit.c_str(), target.c_str(), verdict,
                figure.note.c_str());
    std::fflush(stdout);
}

void reportFailure(const std::string& id, const std::string& name, const std::string& reason) {
    std::printf("| %s | %s | - | - | - | | | **not measured** | %s |\n", id.c_str(), name.c_str(), reason.c_str());
    std::fflush(stdout);
}

}  // namespace quillane::bench
