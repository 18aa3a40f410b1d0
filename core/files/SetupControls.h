#pragma once

#include "SwitchSet.h"
#include "controls/MenuItem.h"
#include "files/PerformanceSetup.h"
#include "waves/WaveSlotSettings.h"

namespace kelvane {

// Moves a whole setup between the main window's controls and its typed form.
// Every write goes through the control, so the change handling of each bar,
// box and list runs as the user's change would, one value at a time in the
// order given below (a program write may copy the program to the other
// switches on its channel; the value written last wins).
class SetupControls {
public:
    SetupControls(SwitchSet& switches, WaveSlotSettings& slots, MenuItem& exclusiveWaves) :
        switches_(switches), slots_(slots), exclusiveWaves_(exclusiveWaves)
    {
    }

    PerformanceSetup capture() const;

    // The order of an opened file: per switch note, velocity, channel,
    // program, wave path, wave name, gate; then per slot volume, loop, pan,
    // loop count; then "Exclusive Waves"; then each slot settles on chosen or
    // empty.
    void applyInFileOrder(const PerformanceSetup& setup);

    // The order of a recalled bank: per switch and slot every setting of the
    // switch and then of its slot; then "Exclusive Waves"; then each slot
    // settles on chosen or empty.
    void applyInBankOrder(const PerformanceSetup& setup);

private:
    void applySwitch(int n, const SwitchSetup& s);
    void applyPathAndName(int n, const SlotSetup& w);
    void applySlotSound(int n, const SlotSetup& w);
    void settleSlots();

    SwitchSet& switches_;
    WaveSlotSettings& slots_;
    MenuItem& exclusiveWaves_;
};

} // namespace kelvane
