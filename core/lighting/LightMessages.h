#pragma once

#include "ports/MidiOutput.h"

#include <optional>
#include <string>

namespace kelvane {

// What the lighting desk sends: channel N's level is the velocity of a
// note-on of note 36 + N (plus the octave's offset) on the desk's MIDI
// channel, and "Volume Off" is controller 7 on that channel.
constexpr int kLightChannelCount = 12;
constexpr int kMaxLightLevel = 127;
constexpr int kFirstLightNote = 37; // channel 1 at octave 1
constexpr int kLightNoteStatusBase = 143; // + MIDI channel: 0x90..0x9F
constexpr int kControlChangeStatusBase = 175; // + MIDI channel: 0xB0..0xBF
constexpr int kChannelVolumeController = 7;

constexpr int lightNote(int lightChannel) { return kFirstLightNote - 1 + lightChannel; }
constexpr int octaveOffset(int octave) { return 12 * (octave - 1); }

constexpr ShortMessage lightLevelMessage(int midiChannel, int note, int level)
{
    return ShortMessage {kLightNoteStatusBase + midiChannel, note, level};
}

constexpr ShortMessage channelVolumeMessage(int midiChannel, int volume)
{
    return ShortMessage {kControlChangeStatusBase + midiChannel, kChannelVolumeController, volume};
}

// The MIDI channel that the desk's channel box names: the whole text, spaces
// around it aside, must be a number from 1 to 16. Anything else (empty, "5a",
// "0", "17") names no channel: a number beyond 16 would turn the note-on's
// status into another kind of message.
std::optional<int> deskMidiChannel(const std::string& boxText);

} // namespace kelvane
