#pragma once

#include "SwitchTrigger.h"
#include "files/MidiInputSettingsFile.h"
#include "ports/Dialogs.h"
#include "ports/MidiInput.h"

#include <array>

namespace kelvane {

// A MIDI controller playing the switches: each message presses or releases
// every switch bound to it (see MidiBindings.h), and each press and release
// runs exactly what an on-screen press and release of that switch run (note,
// indicator, wave slot, slide key, the lock of the note and channel bars,
// KeyHeld for switches 7 and 8). A wave slot's failure is told as for an
// on-screen press.
//
// The controller holds each switch at most once: a second press of a switch
// it holds, or a release of one it does not hold, does nothing, so a sweeping
// pedal presses once and a stray note-off never ends another source's note.
// Re-entrant: a box opened by a press runs later messages inside it.
class MidiPerformance {
public:
    MidiPerformance(SwitchTrigger& trigger, const MidiInputSettingsFile& settings, Dialogs& dialogs) :
        trigger_(trigger), settings_(settings), dialogs_(dialogs)
    {
    }

    void message(const MidiInputMessage& message);

    bool holds(int n) const { return held_[index(n)]; }
    // Ends the controller's hold of switch n, if it holds it.
    void releaseSwitch(int n);
    // Ends every hold (the port went away, another port was chosen).
    void releaseAll();

private:
    static std::size_t index(int n) { return static_cast<std::size_t>(n - 1); }
    void press(int n, const MidiInputMessage& message);

    SwitchTrigger& trigger_;
    const MidiInputSettingsFile& settings_;
    Dialogs& dialogs_;
    std::array<bool, kSwitchCount> held_ {};
};

} // namespace kelvane
