#pragma once

#include "MainForm.h"
#include "PreferencesRig.h"
#include "fakes/FakeMidiOutput.h"
#include "fakes/FakeWavePlayer.h"
#include "files/MidiSetupForm.h"
#include "waves/WaveBankRecall.h"
#include "waves/WaveSlots.h"

namespace kelvane::testing {

// The main window with its real wave slots, slide control and preferences
// window, wired as the program wires them, every port faked onto one log.
struct PressRig : PreferencesRig {
    PressRig() :
        midi(log, {"Port A"}),
        waves(log),
        stavik1(log, "Stavik1"),
        stavik2(log, "Stavik2"),
        pause(log),
        environment(log),
        slots(waves, dialogs, slides),
        setup(midi, environment),
        form(MainFormPorts {midi, waves, stavik1, stavik2, dialogs, pause, environment}, setup, slots, banks),
        mode(form.menu().slideControl(), form, slides)
    {
        midi.logSelections(false);
        slots.attach(form.switches(), form.menu().exclusiveWaves());
        preferences.onAdvancedAudio([this](bool shown) { slots.showAdvancedSettings(shown); });
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
    }

    // The program's start: preferences loaded (shown and hidden), the main
    // window loaded and activated; the log starts empty.
    PressRig& started()
    {
        preferences.loadShownThenHidden();
        form.load();
        form.activate();
        log.clear();
        return *this;
    }

    Switch& sw(int n) { return form.switches().at(n); }

    fakes::FakeMidiOutput midi;
    fakes::FakeWavePlayer waves;
    fakes::FakeJoystickControl stavik1;
    fakes::FakeJoystickControl stavik2;
    fakes::FakePause pause;
    fakes::FakeEnvironment environment;
    WaveSlots slots;
    EmptyWaveBanks banks;
    MidiSetupForm setup;
    MainForm form;
    SlideModeCommand mode;
};

} // namespace kelvane::testing
