#pragma once

#include "controls/MenuItem.h"
#include "controls/Timer.h"
#include "ports/Dialogs.h"
#include "ports/WavePlayer.h"
#include "slides/SlideStep.h"
#include "waves/WaveSlot.h"
#include "waves/WaveSlotOperations.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace kelvane {

class Control;
class SwitchSet;

// The main window's eight wave slots: their controls, the status timer Timer1
// and each slot's loop timer, and the handling of every slot control.
//
// Built before the main window (whose switches call the slots through
// WaveSlotOperations), then attached once to the window's switches and its
// "Exclusive Waves" menu item, before any event reaches either. The switch set
// gives each slot its velocity bar (a load sets it to 0, a clear back to 120)
// and its gate box.
//
// playPress and playRelease throw WaveFailure for a run-time failure (a loop
// too long to time, a wave the player refuses to play); the slots' own
// buttons and timers catch it and tell the performer, so nothing escapes
// into the event loop from here.
class WaveSlots : public WaveSlotOperations {
public:
    WaveSlots(WavePlayer& player, Dialogs& dialogs, SlideStep& slideStep);
    WaveSlots(const WaveSlots&) = delete;
    WaveSlots& operator=(const WaveSlots&) = delete;

    void attach(SwitchSet& switches, const MenuItem& exclusiveWaves);

    // n is 1..8.
    WaveSlot& slot(int n) { return *slots_[static_cast<std::size_t>(n - 1)]; }
    const WaveSlot& slot(int n) const { return *slots_[static_cast<std::size_t>(n - 1)]; }
    Timer& statusTimer() { return timer1_; }

    // Every control of the slots (without the switches' gate boxes), slot by
    // slot, then Timer1.
    std::vector<Control*> controls();

    // The advanced settings as one group: the volume and pan bars, the loop
    // boxes and loop-count lists, their labels and the switches' gate boxes.
    // Hidden controls keep their values and keep acting.
    void showAdvancedSettings(bool shown);

    // WaveSlotOperations
    void playPress(int n) override;
    void playRelease(int n) override;
    void resetLoopCounts() override;
    void emptySlot(int n) override;

    // Has the player decode the slot's file ahead of its first press, so the
    // press finds the sound ready; nothing for an empty slot. Choosing a file
    // (Load), opening a performance file and recalling a bank do this.
    void prepareWave(int n);

    // The slot's buttons, as a click or press on them runs them.
    void load(int n);
    void stop(int n);
    void clear(int n);
    void statusTick();
    void loopTick(int n);

    // The text shown when a play fails at run time and the press came from
    // the slot's own button, a switch on screen or a timer.
    static std::string failureText(const std::string& what);

private:
    void wire(WaveSlot& s);
    void peekLength(WaveSlot& s, MouseButton button);
    WaveSlot& checked(int n);
    // Runs an operation started by a control of this window; a WaveFailure is
    // told to the performer instead of escaping.
    template <typename Operation> void reporting(Operation operation);

    WavePlayer& player_;
    Dialogs& dialogs_;
    SlideStep& slideStep_;
    SwitchSet* switches_ = nullptr;
    const MenuItem* exclusiveWaves_ = nullptr;
    std::array<std::unique_ptr<WaveSlot>, kWaveSlotCount> slots_;
    Timer timer1_ {"Timer1", kStatusTickMs, true};
};

} // namespace kelvane
