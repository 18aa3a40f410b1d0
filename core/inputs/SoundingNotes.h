#pragma once

#include "PadMidi.h"

#include <array>
#include <span>
#include <vector>

namespace kelvane {

// The channel and note of one sounding note-on.
struct NoteAddress {
    int channel = 1;
    int note = 0;

    friend bool operator==(const NoteAddress&, const NoteAddress&) = default;
};

// Everything that presses switches, each with its own release: the eight
// on-screen buttons, the keyboard (one release ends all of its presses), the
// four buttons and the two stick axes of each joystick, and the MIDI
// controller's hold of each switch.
namespace note_source {
constexpr int kCount = 8 + 1 + 8 + 4 + 8;
constexpr int screen(int switchNumber) { return switchNumber - 1; }
constexpr int kKeyboard = 8;
// joystick 1 or 2, button 1..4
constexpr int joystickButton(int joystick, int button) { return 9 + (joystick - 1) * 4 + (button - 1); }
// joystick 1 or 2, axis 0 (X) or 1 (Y)
constexpr int joystickAxis(int joystick, int axis) { return 17 + (joystick - 1) * 2 + axis; }
constexpr int midiController(int switchNumber) { return 21 + switchNumber - 1; }
} // namespace note_source

// The notes each source's presses actually sounded. A release sends its
// switch's note-off with the note and channel as they are at release time;
// when a menu, a preset or a bank recall changed them while the switch was
// held, the note the press sounded would otherwise sound on until a panic.
// Each release therefore also ends what its own presses sounded.
class SoundingNotes {
public:
    // Called when a press of source has sent its note-on.
    void sounded(int source, NoteAddress note) { held(source).push_back(note); }

    // After a release of source has sent its own note-offs (sent): a note-off
    // for every note source's presses sounded that is not among them, once
    // each, in the order they sounded. The source then holds nothing.
    void endRest(int source, std::span<const NoteAddress> sent, PadMidi& midi);
    void endRest(int source, NoteAddress sent, PadMidi& midi) { endRest(source, std::span(&sent, 1), midi); }

    bool holdsAny(int source) const { return !notes_[static_cast<std::size_t>(source)].empty(); }

private:
    std::vector<NoteAddress>& held(int source) { return notes_[static_cast<std::size_t>(source)]; }

    std::array<std::vector<NoteAddress>, note_source::kCount> notes_;
};

} // namespace kelvane
