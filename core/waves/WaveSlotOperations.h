#pragma once

namespace kelvane {

// What a switch press and release ask of the switch's wave slot, and what the
// main window's load resets. Slot numbers are 1..8, as the switches.
// playPress and playRelease may throw WaveFailure.
class WaveSlotOperations {
public:
    virtual ~WaveSlotOperations() = default;
    // The slot's play-press: slide keystroke first, then the slot's wave.
    virtual void playPress(int slot) = 0;
    // The slot's play-release (stops a gated wave).
    virtual void playRelease(int slot) = 0;
    // Every loop-count list back to its first entry.
    virtual void resetLoopCounts() = 0;
    // Forgets the slot's wave: empty path, empty white name box. The keyboard
    // and joystick presses do this after a wave failed to play.
    virtual void emptySlot(int slot) = 0;
};

} // namespace kelvane
