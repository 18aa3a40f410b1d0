#pragma once

#include "PadMidi.h"
#include "ports/Environment.h"
#include "ports/Pause.h"
#include "ports/WavePlayer.h"

namespace kelvane {

// "All notes off" the hard way: stops every wave, then a note-off for every
// note on every channel, with a pause after each channel so that slow MIDI
// devices keep up. The window handles no other event meanwhile.
class PanicSweep {
public:
    static constexpr int kPauseAfterChannelMs = 70;

    PanicSweep(PadMidi& midi, WavePlayer& waves, Pause& pause, Environment& environment) :
        midi_(midi), waves_(waves), pause_(pause), environment_(environment)
    {
    }

    void run();

private:
    PadMidi& midi_;
    WavePlayer& waves_;
    Pause& pause_;
    Environment& environment_;
};

} // namespace kelvane
