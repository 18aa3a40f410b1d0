#pragma once

#include "PadMidi.h"
#include "SwitchSet.h"
#include "SwitchTrigger.h"
#include "inputs/SoundingNotes.h"
#include "ports/Dialogs.h"
#include "waves/WaveBankRecall.h"
#include "waves/WaveSlotOperations.h"

namespace kelvane {

// Key codes of the main window's key events: the Windows virtual-key codes,
// which the views translate every key into.
namespace key_code {
constexpr int kTopRowDigit0 = 48; // + digit
constexpr int kKeypadDigit0 = 96; // + digit
constexpr int kF1 = 112; // F1..F4 are 112..115
constexpr int kN = 78;
constexpr int kP = 80;
} // namespace key_code

// The computer keyboard on the main window: digit keys 1 to 8 (top row or
// keypad) play the switches, F1 to F4 recall the wave banks, and every key
// sends the sixteen program changes and locks the note and channel bars.
//
// One flag (PadFlags::keyHeld) guards all eight keys against auto-repeat: while
// it is set no key starts a note; any key release but N and P clears it and
// ends all eight switches. Modifier keys make no difference.
class KeyboardPerformance {
public:
    KeyboardPerformance(SwitchSet& switches, PadMidi& midi, WaveSlotOperations& slots, WaveBankRecall& banks,
        Dialogs& dialogs, PadFlags& flags, SoundingNotes& sounding) :
        switches_(switches),
        midi_(midi),
        slots_(slots),
        banks_(banks),
        dialogs_(dialogs),
        flags_(flags),
        sounding_(sounding)
    {
    }

    void keyDown(int keyCode);
    void keyUp(int keyCode);

    // The switch (1..8) a key code plays, or 0.
    static int switchOfKey(int keyCode);

private:
    void sendAllPrograms();
    void press(int n);

    SwitchSet& switches_;
    PadMidi& midi_;
    WaveSlotOperations& slots_;
    WaveBankRecall& banks_;
    Dialogs& dialogs_;
    PadFlags& flags_;
    SoundingNotes& sounding_;
};

} // namespace kelvane
