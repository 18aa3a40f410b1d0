#pragma once

// Timing helpers shared by the press-path benchmarks.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <semaphore>
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

// Moments noted on one thread and awaited on another. The waiter sleeps on a
// semaphore: a waiter that spun, or woke every few hundred microseconds, would
// take the processor from the very threads whose timing it measures (on a
// two-core machine it made the X server's delivery look several times less
// steady than it is).
class Arrivals {
public:
    void note()
    {
        at_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        count_.fetch_add(1, std::memory_order_release);
        signal_.release();
    }

    long long count() const { return count_.load(std::memory_order_acquire); }
    Clock::time_point last() const { return Clock::time_point(Clock::duration(at_.load(std::memory_order_relaxed))); }

    // Waits until more than `before` have arrived, at most `bound`; the moment
    // of the last one.
    std::optional<Clock::time_point> awaitAfter(long long before, Clock::duration bound)
    {
        const auto deadline = Clock::now() + bound;
        while (count() <= before)
            if (!signal_.try_acquire_until(deadline))
                return std::nullopt;
        return last();
    }

private:
    std::atomic<Clock::rep> at_ {0};
    std::atomic<long long> count_ {0};
    std::counting_semaphore<> signal_ {0};
};

} // namespace kelvane::bench
