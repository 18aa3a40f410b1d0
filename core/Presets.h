#pragma once

#include "PadMidi.h"
#include "SwitchSet.h"
#include "controls/Window.h"

#include <array>
#include <string_view>

namespace kelvane {

struct SwitchSetting {
    int note;
    int velocity;
    int channel;
    int program; // 0-based General MIDI program
};

// A fixed sound set for all eight switches. After writing the settings the
// preset sends a closing program change for its first closingProgramChanges
// switches, whether or not the writes already sent one.
struct Preset {
    std::string_view menuItem;
    std::string_view menuCaption;
    std::string_view windowCaption;
    std::array<SwitchSetting, kSwitchCount> switches;
    int closingProgramChanges;
};

// The " &GM Presets" menu, in menu order. Captions as the program has always
// shown them ("FX1 " with its trailing blank, "Major strings" with a small s).
// clang-format off
inline constexpr std::array<Preset, 5> kPresets = {{
    {"Percussion", "Percussion", "Percussion",
     {{{60, 120, 10, 0}, {61, 120, 10, 0}, {62, 120, 10, 0}, {63, 120, 10, 0},
       {64, 120, 10, 0}, {65, 120, 10, 0}, {66, 120, 10, 0}, {67, 120, 10, 0}}}, 8},
    {"Drumkit", "Drum Kit", "Drum Kit",
     {{{36, 120, 10, 0}, {38, 120, 10, 0}, {37, 120, 10, 0}, {42, 120, 10, 0},
       {46, 120, 10, 0}, {59, 120, 10, 0}, {60, 120, 10, 0}, {61, 120, 10, 0}}}, 6},
    {"Orchestra", "Orchestra", "Orchestra",
     {{{36, 117, 1, 48}, {37, 117, 2, 48}, {48, 127, 3, 55}, {60, 120, 4, 55},
       {39, 120, 5, 45}, {41, 120, 6, 45}, {42, 120, 7, 45}, {43, 120, 8, 45}}}, 8},
    {"FX1", "FX 1", "FX1 ",
     {{{36, 120, 1, 97}, {39, 120, 2, 97}, {48, 92, 3, 96}, {24, 127, 4, 99},
       {65, 127, 5, 101}, {59, 120, 6, 122}, {59, 120, 7, 123}, {48, 120, 8, 127}}}, 8},
    {"MajStrings", "Major Strings", "Major strings",
     {{{60, 120, 1, 48}, {62, 120, 1, 48}, {64, 120, 1, 48}, {65, 120, 1, 48},
       {67, 120, 1, 48}, {69, 120, 1, 48}, {71, 120, 1, 48}, {72, 120, 1, 48}}}, 6},
}};
// clang-format on
inline constexpr const Preset& kMajorStrings = kPresets[4];

// Caption, then note, velocity, channel, program of switches 1 to 8 in order
// (each write runs the bar's handling), then the closing program changes.
void applyPreset(const Preset& preset, SwitchSet& switches, PadMidi& midi, Window& window);

} // namespace kelvane
