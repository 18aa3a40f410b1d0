#pragma once

#include "MidiMessages.h"
#include "ports/MidiOutput.h"

namespace kelvane {

// The pad's sending side of the MIDI output: every note and program message
// of the pad leaves through here, one complete message per call.
class PadMidi {
public:
    explicit PadMidi(MidiOutput& output) : output_(output) { }

    void noteOn(int channel, int note, int velocity) { output_.send(noteOnMessage(channel, note, velocity)); }
    void noteOff(int channel, int note) { output_.send(noteOffMessage(channel, note)); }
    void programChange(int channel, int program) { output_.send(programChangeMessage(channel, program)); }

    MidiOutput& output() { return output_; }

private:
    MidiOutput& output_;
};

} // namespace kelvane
