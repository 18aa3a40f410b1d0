#pragma once

#include "ports/MidiOutput.h"

namespace kelvane {

// The message forms the pad sends. Channels are 1-based (1..16), as the
// channel bars hold them; a note-off is a note-on with velocity 0.
constexpr int kNoteOnStatusBase = 143; // + channel: 0x90..0x9F
constexpr int kProgramChangeStatusBase = 191; // + channel: 0xC0..0xCF

constexpr ShortMessage noteOnMessage(int channel, int note, int velocity)
{
    return ShortMessage {kNoteOnStatusBase + channel, note, velocity};
}

constexpr ShortMessage noteOffMessage(int channel, int note) { return noteOnMessage(channel, note, 0); }

// A two-byte message: no second data byte.
constexpr ShortMessage programChangeMessage(int channel, int program)
{
    return ShortMessage {kProgramChangeStatusBase + channel, program, std::nullopt};
}

} // namespace kelvane
