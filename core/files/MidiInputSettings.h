#pragma once

#include "inputs/MidiBindings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelvane {

// The MIDI input's settings: the port the performer chose (empty for none)
// and what plays each switch. They live in a file of their own beside
// kelvane.dat, whose bytes stay as they always were.
struct MidiInputSettings {
    std::string input;
    MidiBindings bindings = defaultMidiBindings();

    friend bool operator==(const MidiInputSettings&, const MidiInputSettings&) = default;
};

inline constexpr const char* kMidiInputSettingsFileName = "midi-input.conf";
// Far beyond any file this program writes (under a kilobyte).
inline constexpr std::size_t kMidiInputSettingsLargest = 64 * 1024;

// The file is UTF-8 text, one setting per line, every line ending in "\n":
//
//   # Kelvane MIDI input settings
//   version=1
//   input=nanoPAD2:nanoPAD2 MIDI 1
//   sw1=note 36 any switch-velocity
//   sw2=controller 64 10 pad-velocity
//   sw3=program 5 1 switch-velocity
//   sw4=none switch-velocity
//   ... sw8
//
// A binding is its kind (note, controller, program), number (0..127) and
// channel (1..16 or "any"), or "none"; then whose velocity a press plays.
// Reading also takes "\r\n", blank lines and lines starting with "#"; every
// other line must be one of the ten settings, each exactly once.
std::vector<std::uint8_t> encodeMidiInputSettings(const MidiInputSettings& settings);

struct DecodedMidiInputSettings {
    std::optional<MidiInputSettings> settings; // nothing when the file is refused
    std::string problem; // why, for the user: "line 4: ..."
};

// Checks the whole file before it gives anything back: a refused file gives
// no settings at all, never some of them.
DecodedMidiInputSettings decodeMidiInputSettings(std::span<const std::uint8_t> bytes);

} // namespace kelvane
