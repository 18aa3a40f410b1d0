#pragma once

#include "SwitchSet.h"
#include "controls/Window.h"

#include <array>
#include <string_view>

namespace kelvane {

// A scale or chord laid over the eight switches.
struct NoteTable {
    std::string_view menuItem;
    std::string_view menuCaption;
    std::array<int, kSwitchCount> notes;
    std::string_view windowCaption;
};

// The "&Scales/Chords" menu, in menu order; a separator follows the scales.
// The captions are the program's own, including "WholeTone Scale" in the
// window caption for the menu's "Whole Tone Scale".
// clang-format off
inline constexpr std::array<NoteTable, 9> kNoteTables = {{
    {"Scales", "Chromatic Scale", {60, 61, 62, 63, 64, 65, 66, 67}, "Chromatic Scale"},
    {"Pentatonic", "Pentatonic Scale", {57, 60, 62, 64, 67, 69, 72, 74}, "Pentatonic Scale"},
    {"Minor", "Minor Scale", {60, 62, 63, 65, 67, 68, 71, 72}, "Minor Scale"},
    {"Major", "Major Scale", {60, 62, 64, 65, 67, 69, 71, 72}, "Major Scale"},
    {"WholeTone", "Whole Tone Scale", {60, 62, 64, 66, 68, 70, 72, 74}, "WholeTone Scale"},
    {"Majchord", "Major Chord", {60, 64, 67, 72, 76, 79, 84, 88}, "Major Chord"},
    {"Minorchord", "Minor Chord", {60, 63, 67, 72, 75, 79, 84, 87}, "Minor Chord"},
    {"Dimchord", "Diminished Chord", {60, 63, 66, 69, 72, 75, 78, 81}, "Diminished Chord"},
    {"Augchord", "Augmented Chord", {60, 64, 68, 72, 74, 78, 82, 86}, "Augmented Chord"},
}};
// clang-format on
inline constexpr std::size_t kScaleCount = 5; // the rest are chords

// Writes the table's notes to switches 1 to 8, then names it in the caption.
void applyNoteTable(const NoteTable& table, SwitchSet& switches, Window& window);

// Note shifts move all eight notes or none: the shift is refused as a whole
// when any note lies above 112 (upward) or below 25 (downward), whatever the
// step. Returns whether the notes moved.
constexpr int kHighestNoteBeforeShiftUp = 112;
constexpr int kLowestNoteBeforeShiftDown = 25;
bool shiftNotes(SwitchSet& switches, int step);

// Velocity shifts decide switch by switch: +10 leaves velocities of 117 and
// more, -10 leaves velocities of 9 and less.
void shiftVelocities(SwitchSet& switches, int step);

} // namespace kelvane
