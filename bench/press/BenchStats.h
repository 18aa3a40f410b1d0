#pragma once

// Timing helpers shared by the press-path benchmarks.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kelvane::bench {

using Clock = std::chrono::steady_clock;

inline double percentile(const std::vector<double>& sorted, double fraction)
{
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(rank, sorted.size() - 1)];
}

inline double microseconds(Clock::duration span) { return std::chrono::duration<double, std::micro>(span).count(); }

// "median 3.1 us  p99 7.9 us  max 40.2 us  (n = 5000)", sorting `samples`.
inline std::string summary(std::vector<double>& samples)
{
    if (samples.empty())
        return "no samples";
    std::sort(samples.begin(), samples.end());
    char text[160];
    std::snprintf(text, sizeof text, "median %8.1f us  p99 %8.1f us  max %8.1f us  (n = %zu)", percentile(samples, 0.5),
        percentile(samples, 0.99), samples.back(), samples.size());
    return text;
}

} // namespace kelvane::bench
