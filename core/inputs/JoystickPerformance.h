#pragma once

#include "PadMidi.h"
#include "SwitchSet.h"
#include "inputs/SoundingNotes.h"
#include "ports/Dialogs.h"
#include "waves/WaveSlotOperations.h"

#include <array>

namespace kelvane {

// The main window's handling of its two joystick controls' events. Joystick 1
// (Stavik1) plays switch 1 with its stick pushed fully left, switch 2 with it
// pushed fully forward, and switches 3 and 4 with buttons 1 and 2; joystick 2
// (Stavik2) plays switches 5 and 6 with buttons 1 and 2, and 7 and 8 with its
// stick. The releases of joystick 1's buttons 3 and 4 end switches 5 and 6.
//
// A button press neither locks the note and channel bars nor sets a flag; a
// stick press locks them and holds its axis flag until the axis comes back
// past 10000. Any button release of joystick 1 unlocks the bars; those of
// joystick 2 never do.
class JoystickPerformance {
public:
    static constexpr int kPressBelow = 1000;
    static constexpr int kReleaseAbove = 10000;

    JoystickPerformance(
        SwitchSet& switches, PadMidi& midi, WaveSlotOperations& slots, Dialogs& dialogs, SoundingNotes& sounding) :
        switches_(switches), midi_(midi), slots_(slots), dialogs_(dialogs), sounding_(sounding)
    {
    }

    // joystick is 1 or 2, button 1..4; positions 0..65535.
    void buttonDown(int joystick, int button);
    void buttonUp(int joystick, int button);
    void move(int joystick, int x, int y);

    // Joy1XHeld, Joy1YHeld, Joy2XHeld, Joy2YHeld: axis 0 is X, 1 is Y.
    int axisHeld(int joystick, int axis) const { return held_[flagIndex(joystick, axis)]; }

    // The switch a button plays, or 0.
    static int switchOfButton(int joystick, int button);
    static int switchOfAxis(int joystick, int axis) { return joystick == 1 ? 1 + axis : 7 + axis; }

private:
    static std::size_t flagIndex(int joystick, int axis) { return static_cast<std::size_t>((joystick - 1) * 2 + axis); }

    NoteAddress noteOf(int n) const { return {switches_.at(n).channel.value(), switches_.playedNote(n)}; }
    // Whether the rest of the event may go on: false once a wave failed.
    bool pressAxis(int joystick, int axis);
    // True when the wave slot failed to stop its wave (the note has ended all the same).
    bool releaseAxis(int joystick, int axis);
    // The gated wave-slot release of a button or an axis; true when it failed.
    bool releaseGatedWave(int n);

    SwitchSet& switches_;
    PadMidi& midi_;
    WaveSlotOperations& slots_;
    Dialogs& dialogs_;
    SoundingNotes& sounding_;
    std::array<int, 4> held_ {};
};

} // namespace kelvane
