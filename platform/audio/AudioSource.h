#pragma once

#include "audio/AudioPeriod.h"

#include <atomic>
#include <cstdint>

namespace kelvane::audio {

class IdleParking;

// Something that sounds through the program's audio output: the built-in
// synthesizer, the wave slots' mixer; tests and benchmarks also listen to the
// output through one.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    // Runs on the audio thread with the output locked, once per device
    // period. `mix` holds period.frames interleaved stereo frames of signed
    // 16-bit samples at the output's rate: silence, plus whatever the sources
    // attached before this one added. The source adds its own sound
    // (mixSample), or leaves the buffer as it is when it has nothing to play:
    // an idle source returns at once. Must not allocate, wait on a lock that a
    // user-interface call can hold for long, or throw.
    virtual void render(std::int16_t* mix, const AudioPeriod& period) noexcept = 0;

    // Nothing sounds and nothing waits to be taken: the next render would add
    // nothing. Asked with the output locked (no render runs meanwhile), on the
    // audio thread after a render or on the thread that rests the output.
    virtual bool idle() const noexcept = 0;

protected:
    // To be called after handing the audio thread something to play (a
    // message, a start): an output that rests because every source was idle
    // runs again. Costs one atomic load while the output runs. Any thread.
    void wakeOutput() const noexcept;

private:
    friend class AudioOutput;
    std::atomic<IdleParking*> parking_ {nullptr}; // set while attached to an output
};

} // namespace kelvane::audio
