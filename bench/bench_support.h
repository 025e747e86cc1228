#pragma once

// Small helpers shared by the benchmark programs: timing, medians and the
// printed table. Benchmarks report; they never fail on a number.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

/// Milliseconds from start to now.
inline double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// The median of the samples (the mean of the middle two for an even count); 0 when empty.
inline double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

inline double minimum(const std::vector<double>& samples)
{
    return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end());
}

inline double maximum(const std::vector<double>& samples)
{
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

/// One row of a table: a name and its samples, with their median, min and max.
inline void printRow(const std::string& name, const std::vector<double>& samples, const char* unit)
{
    std::printf("  %-44s %10.2f %10.2f %10.2f  %s  (n=%zu)\n", name.c_str(), median(samples), minimum(samples),
                maximum(samples), unit, samples.size());
}

inline void printHeader(const char* title)
{
    std::printf("\n%s\n  %-44s %10s %10s %10s\n", title, "", "median", "min", "max");
}

/// The ratio of two medians against its target, and whether it is met.
inline void printRatio(const char* what, double ratio, double target)
{
    std::printf("  %-44s %10.3f   target <= %.2f: %s\n", what, ratio, target, ratio <= target ? "met" : "NOT met");
}

/// A ratio of two medians shown for comparison, with no target of its own.
inline void printComparison(const char* what, double ratio)
{
    std::printf("  %-44s %10.3f\n", what, ratio);
}

}  // namespace bench
