#pragma once

#include "waves/WaveSlot.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace kelvane {

// The arithmetic of looped plays and the length peek, kept apart so its
// boundaries can be pinned directly.

// Passes for a loop-count list position (position k plays k + 2 times).
constexpr int passesFor(int listIndex) { return listIndex + kFewestPasses; }

// Length of a looped play in milliseconds, or nothing when it does not fit a
// 32-bit integer.
constexpr std::optional<std::int32_t> loopDurationMs(std::int32_t bufferLengthMs, int listIndex)
{
    const std::int64_t product = std::int64_t {bufferLengthMs} * passesFor(listIndex);
    if (product > std::numeric_limits<std::int32_t>::max() || product < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(product);
}

// Whether the loop is over after `ticks` ticks of its timer: the first tick on
// which ticks x 55 ms reaches or passes the duration.
inline bool loopElapsed(std::int32_t durationMs, std::int32_t ticks)
{
    return !(static_cast<double>(durationMs) / kLoopTickMs > static_cast<double>(ticks));
}

// Seconds shown by the length peek: lengthMs / 1000 x passes, rounded to the
// nearest whole second with ties to even; nothing when it does not fit the
// label's 16-bit number.
inline std::optional<int> peekSeconds(std::int32_t lengthMs, int passes)
{
    const double seconds = static_cast<double>(lengthMs) / 1000.0 * passes;
    const double rounded = std::nearbyint(seconds); // default rounding mode: ties to even
    if (rounded > std::numeric_limits<std::int16_t>::max() || rounded < std::numeric_limits<std::int16_t>::min())
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace kelvane
