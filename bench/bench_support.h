#pragma once

// Small helpers shared by the benchmark programs: timing, medians, the order
// of the runs and the printed table. Benchmarks report; they never fail on a
// number.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

/// Wide enough for a row's name that says what it times and on which platform.
constexpr int kNameWidth = 70;

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

/// The order of the measures in one round: a balanced Latin square, so that
/// over a whole cycle of rounds each measure runs first, last and straight
/// after each other one as often as any. What ran just before leaves its mark
/// (the caches it warmed or emptied, the work its end leaves the system); a
/// fixed order would pin that cost on the same row every time. A cycle is `count` rounds for an even count,
/// twice that for an odd one, whose second half runs the first's orders
/// backwards.
inline std::vector<int> roundOrder(int round, int count)
{
    const int cycle = count % 2 ? 2 * count : count;
    const int row = round % cycle % count;
    std::vector<int> order;
    for (int j = 0; j < count; ++j) {
        const int step = j % 2 ? (j + 1) / 2 : (count - j / 2) % count;
        order.push_back((row + step) % count);
    }
    if (round % cycle >= count)
        std::reverse(order.begin(), order.end());
    return order;
}

/// Runs every measure once a round, for the given rounds, in roundOrder's order.
inline void runInterleaved(int rounds, const std::vector<std::function<void()>>& measures)
{
    for (int round = 0; round < rounds; ++round) {
        for (int index : roundOrder(round, static_cast<int>(measures.size())))
            measures[static_cast<size_t>(index)]();
    }
}

/// A row's name with the Qt platform its windows were made on.
inline std::string onPlatform(const std::string& what, const std::string& platform)
{
    return what + " [" + platform + "]";
}

/// One row of a table: a name and its samples, with their median, min and max.
inline void printRow(const std::string& name, const std::vector<double>& samples, const char* unit)
{
    std::printf("  %-*s %10.2f %10.2f %10.2f  %s  (n=%zu)\n", kNameWidth, name.c_str(), median(samples),
                minimum(samples), maximum(samples), unit, samples.size());
}

inline void printHeader(const std::string& title)
{
    std::printf("\n%s\n  %-*s %10s %10s %10s\n", title.c_str(), kNameWidth, "", "median", "min", "max");
}

/// The ratio of two medians against its target, and whether it is met.
inline void printRatio(const char* what, double ratio, double target)
{
    std::printf("  %-*s %10.3f   target <= %.2f: %s\n", kNameWidth, what, ratio, target,
                ratio <= target ? "met" : "NOT met");
}

/// A ratio of two medians shown for comparison, with no target of its own.
inline void printComparison(const char* what, double ratio)
{
    std::printf("  %-*s %10.3f\n", kNameWidth, what, ratio);
}

}  // namespace bench
