#pragma once

#include "audio/AudioPeriod.h"

namespace kelvane::audio::testing {

// Half a frame at 48 kHz: a hand-over timed between two stamps this close is
// placed on a known frame.
constexpr Stamp kHalfFrameNs = 1000000000 / 48000 / 2;

// A period that begins one period from now: whatever was handed over until
// now starts at its first frame.
inline AudioPeriod periodFromNow(int frames, int rate = 48000)
{
    AudioPeriod period {0, frames, rate};
    period.start = stampNow() + period.lengthNs();
    return period;
}

// A period in which something handed over between `before` and half a frame
// later starts at `frame`.
inline AudioPeriod periodPlacing(Stamp before, int frame, int frames, int rate = 48000)
{
    AudioPeriod period {0, frames, rate};
    period.start = before + period.lengthNs() - (2 * static_cast<Stamp>(frame) + 1) * kHalfFrameNs;
    return period;
}

} // namespace kelvane::audio::testing
