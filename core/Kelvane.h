#pragma once

#include "MainForm.h"
#include "files/MidiSetupForm.h"
#include "files/PreferencesForm.h"
#include "files/WholeSetupCommands.h"
#include "inputs/MidiController.h"
#include "lighting/LightForm.h"
#include "ports/KelvanePorts.h"
#include "slides/SlideControl.h"
#include "waves/SlotControlSettings.h"
#include "waves/WaveBanks.h"
#include "waves/WaveSlots.h"

#include <string>

namespace kelvane {

// Stand-ins a test puts where it wants to watch the calls instead of the real
// part: null leaves the real one. The real parts are still built, so the
// rest of the wiring stays the program's.
struct KelvaneDoubles {
    WaveSlotOperations* slots = nullptr; // what the switches press and release
    WaveBankRecall* banks = nullptr; // what F1..F4 recall
    WaveSlotSettings* slotSettings = nullptr; // what performance files and banks read and write
    SlideStep* slideStep = nullptr; // what a wave slot's press sends to slide control
};

// The whole program without its views: every form, wired to the others and to
// the menu exactly once, here. Building it touches no port; start() is the
// first thing that does.
class Kelvane {
public:
    explicit Kelvane(KelvanePorts ports, KelvaneDoubles doubles = {});
    Kelvane(const Kelvane&) = delete;
    Kelvane& operator=(const Kelvane&) = delete;

    // Opens a performance file once the main window has loaded and been
    // activated for the first time, as if chosen with Open.
    void openWhenStarted(std::string path);

    // What runs before the main window loads: the MIDI controller reads its
    // settings and opens its port (so the setup window, shown at load, plays
    // from it), then the preferences are read.
    void start();

    MainForm& mainForm() { return mainForm_; }
    MidiSetupForm& midiSetup() { return midiSetup_; }
    PreferencesForm& preferences() { return preferences_; }
    SlideControl& slideControl() { return slideControl_; }
    WaveSlots& slots() { return slots_; }
    WaveBanks& banks() { return banks_; }
    WholeSetupCommands& wholeSetup() { return wholeSetup_; }
    LightForm& lightingDesk() { return lightForm_; }
    MidiController& midiController() { return midiController_; }

private:
    // In the order they depend on one another; destroyed in reverse, so the
    // controller lets go of the setup window's input before the window goes.
    PreferencesForm preferences_;
    SlideControl slideControl_;
    WaveSlots slots_;
    WaveBanks banks_;
    MidiSetupForm midiSetup_;
    MainForm mainForm_;
    SlideModeCommand slideMode_;
    PreferencesCommand preferencesCommand_;
    SlotControlSettings slotSettings_;
    WholeSetupCommands wholeSetup_;
    LightForm lightForm_;
    MidiController midiController_;
    MidiLearnCommand midiLearnCommand_;
};

} // namespace kelvane
