#pragma once

#include "SwitchSet.h"
#include "ports/MidiInput.h"

#include <array>
#include <optional>
#include <string>

namespace kelvane {

// The message of a controller that plays a switch: a note (any velocity), a
// controller (pressed at values 64..127, released at 0..63, as foot switches
// send) or a program change (pressed and released at once).
struct MidiTrigger {
    enum class Kind { None, Note, Controller, Program };
    static constexpr int kAnyChannel = 0;

    Kind kind = Kind::None;
    int number = 0; // the note, controller or program, 0..127
    int channel = kAnyChannel; // 1..16, or kAnyChannel

    static constexpr MidiTrigger note(int number, int channel = kAnyChannel) { return {Kind::Note, number, channel}; }

    friend bool operator==(const MidiTrigger&, const MidiTrigger&) = default;
};

// What plays one switch from a controller, and with which velocity: the
// switch's own velocity bar, as every other source plays, or the pad's.
struct SwitchBinding {
    MidiTrigger trigger;
    bool padVelocity = false;

    friend bool operator==(const SwitchBinding&, const SwitchBinding&) = default;
};

// The bindings of switches 1..8 (index n - 1).
using MidiBindings = std::array<SwitchBinding, kSwitchCount>;

// With nothing learned, notes 36..43 on any channel play sw1..sw8: the first
// eight pads of most pad controllers.
constexpr int kDefaultFirstNote = 36;
MidiBindings defaultMidiBindings();
MidiBindings clearedMidiBindings();

// Whether the numbers are in range: 0..127, channel 1..16 or any.
bool isValidTrigger(const MidiTrigger& trigger);

// The trigger as the "MIDI Learn" window shows it: "Note 36, any channel",
// "Controller 64, channel 1", "Program 5, channel 10", "(none)".
std::string describeTrigger(const MidiTrigger& trigger);

// What a message does to a switch bound to trigger. A note-on with velocity
// 0 is a release, as a note-off is.
enum class MidiAction { None, Press, Release, PressAndRelease };
MidiAction actionFor(const MidiTrigger& trigger, const MidiInputMessage& message);

// The velocity a press by this message plays when its switch plays the pad's
// velocity: a note-on's velocity or a controller's value; nothing for a
// program change, which has none (the switch's bar plays).
std::optional<int> padVelocityOf(const MidiInputMessage& message);

// The trigger a message teaches when a switch is learning: a note-on (any
// velocity above 0), a control change or a program change, on the message's
// channel or on any. Nothing for a note-off, which only ends a pad's hit.
std::optional<MidiTrigger> triggerTaughtBy(const MidiInputMessage& message, bool anyChannel);

// Whether one message could play both triggers: the same kind and number on
// the same channel, or either on any channel.
bool triggersOverlap(const MidiTrigger& a, const MidiTrigger& b);

} // namespace kelvane
