#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>

namespace kelvane::audio {

// A moment on the steady clock, in nanoseconds: when an event (a note, a
// wave's start or stop) was handed to the audio thread, or when a period's
// render began.
using Stamp = std::int64_t;

inline Stamp stampNow() noexcept
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One device period as the audio thread renders it.
//
// Events start at a fixed delay after they were handed over: one period. An
// event handed over during the period before this one is therefore placed in
// this period at the frame that corresponds to its own moment, instead of at
// the start of whichever period happens to take it, so a press waits the same
// time whatever moment of the period it came at.
struct AudioPeriod {
    Stamp start = 0; // when the render of this period began
    int frames = 0;
    int sampleRate = 48000;

    // The frame of this period at which an event handed over at `stamp`
    // starts: frames / sampleRate after `stamp`, counted from `start`. An
    // event older than that (this period came late) starts at frame 0; one
    // that would fall beyond this period (handed over after it began) at its
    // last frame. 0..frames-1 for a period of at least one frame.
    int frameFor(Stamp stamp) const noexcept
    {
        const double early = std::floor(static_cast<double>(stamp - start) * sampleRate / 1e9);
        const double frame = early + frames;
        if (frame <= 0)
            return 0;
        if (frame >= frames - 1)
            return frames > 0 ? frames - 1 : 0;
        return static_cast<int>(frame);
    }

    // How long the period lasts, in nanoseconds.
    Stamp lengthNs() const noexcept
    {
        return sampleRate > 0 ? static_cast<Stamp>(frames) * 1000000000 / sampleRate : 0;
    }
};

// Adds `value` to a 16-bit sample, holding the sum at full scale.
inline std::int16_t mixSample(std::int16_t sample, float value) noexcept
{
    const float sum = static_cast<float>(sample) + value;
    if (sum >= 32767.0f)
        return 32767;
    if (sum <= -32768.0f)
        return -32768;
    return static_cast<std::int16_t>(std::lrint(sum));
}

} // namespace kelvane::audio
