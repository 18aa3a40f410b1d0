#pragma once

#include "ports/Dialogs.h"
#include "waves/WaveFailure.h"
#include "waves/WaveSlots.h"

namespace kelvane {

// Runs a switch press or release that no source-specific handling guards (an
// on-screen button, a MIDI controller): a wave slot's run-time failure is told
// to the performer in a box, never passed on to the event loop.
template <typename Operation> void reportingWaveFailure(Dialogs& dialogs, Operation operation)
{
    try {
        operation();
    } catch (const WaveFailure& failure) {
        dialogs.showMessage(WaveSlots::failureText(failure.what()), MessageIcon::Warning, MessageButtons::Ok, "");
    }
}

} // namespace kelvane
