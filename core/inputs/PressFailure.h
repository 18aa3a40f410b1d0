#pragma once

#include "ports/Dialogs.h"
#include "waves/WaveSlotOperations.h"

#include <string_view>

namespace kelvane {

inline constexpr std::string_view kWaveUnavailable = "This Wave is unavailable";

// How a key or joystick press answers a wave slot that failed: the performer
// is told (OK and Cancel, the exclamation icon, no title; the answer does not
// matter) and the slot is emptied, so the next press plays the note alone.
inline void reportUnavailableWave(Dialogs& dialogs, WaveSlotOperations& slots, int slot)
{
    dialogs.showMessage(std::string(kWaveUnavailable), MessageIcon::Warning, MessageButtons::OkCancel, "");
    slots.emptySlot(slot);
}

// A release whose wave slot failed to stop its wave has ended its notes all
// the same; the performer is told, and the slot keeps its wave.
inline void reportUnstoppedWave(Dialogs& dialogs)
{
    dialogs.showMessage(std::string(kWaveUnavailable), MessageIcon::Warning, MessageButtons::OkCancel, "");
}

} // namespace kelvane
