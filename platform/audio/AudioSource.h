#pragma once

#include <cstdint>

namespace kelvane::audio {

// Something that renders into the program's audio output ahead of the wave
// slots' sounds (the built-in synthesizer).
class AudioSource {
public:
    virtual ~AudioSource() = default;

    // Runs on the audio thread with the output locked, once per device period.
    // Writes `frames` interleaved stereo frames of signed 16-bit samples at the
    // output's sample rate, overwriting what is there (the buffer holds
    // silence on entry). Must not allocate, wait on a lock that a user-interface
    // call can hold for long, or throw.
    virtual void render(std::int16_t* interleavedStereo, int frames) noexcept = 0;
};

} // namespace kelvane::audio
