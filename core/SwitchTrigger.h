#pragma once

#include "PadMidi.h"
#include "SwitchSet.h"
#include "inputs/SoundingNotes.h"
#include "waves/WaveSlotOperations.h"

#include <optional>

namespace kelvane {

// Window-level flags that several inputs share. Flags are 0 or 1.
struct PadFlags {
    // Set while a switch is held from the keyboard (and by on-screen presses of
    // switches 7 and 8); only a key release clears it.
    int keyHeld = 0;
    // 0 until the window's first activation has run its start-up steps.
    int startupDone = 0;
};

// The on-screen switch buttons: press on button-down, release on button-up,
// for any mouse button. Any press locks all sixteen note and channel bars and
// any release unlocks them: there is no count of held switches. A release
// also ends the note its press sounded when the switch's note or channel
// changed in between; a wave slot that fails to stop its wave does not keep
// the note sounding (the failure is passed on once the release is done).
class SwitchTrigger {
public:
    SwitchTrigger(
        SwitchSet& switches, PadMidi& midi, WaveSlotOperations& slots, PadFlags& flags, SoundingNotes& sounding) :
        switches_(switches), midi_(midi), slots_(slots), flags_(flags), sounding_(sounding)
    {
    }

    void press(int n) { press(n, note_source::screen(n), std::nullopt); }
    void release(int n) { release(n, note_source::screen(n)); }

    // The same press and release for another source of the switch's own
    // (note_source), which releases what it pressed: a MIDI controller.
    // velocity, when given, plays instead of the switch's velocity bar.
    void press(int n, int source, std::optional<int> velocity);
    void release(int n, int source);

private:
    SwitchSet& switches_;
    PadMidi& midi_;
    WaveSlotOperations& slots_;
    PadFlags& flags_;
    SoundingNotes& sounding_;
};

} // namespace kelvane
