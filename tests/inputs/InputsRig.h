#pragma once

// The main window's form with its two joystick controls created from the
// built module, as the program hosts them, and every other port faked onto
// one ordered log. Joysticks are SDL virtual joysticks of this process.

#include "EventLoopRig.h"
#include "HostedJoystickControls.h"
#include "MainForm.h"
#include "Rig.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelvane::testing {

struct HostedRig {
    HostedRig(const std::filesystem::path& registry, const std::vector<std::filesystem::path>& modules) :
        midi(log),
        waves(log),
        dialogs(log),
        pause(log),
        environment(log),
        slots(log),
        banks(log),
        joysticks(stavikhost::hostJoystickControls(
            registry, modules, [this](const std::string& why) { said.push_back(why); })),
        setup(midi, environment),
        form(MainFormPorts {midi, waves, *joysticks.stavik1, *joysticks.stavik2, dialogs, pause, environment}, setup,
            slots, banks)
    {
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
        form.load();
        form.activate();
        log.clear();
    }

    std::vector<std::string> said;
    fakes::EffectLog log;
    fakes::FakeMidiOutput midi;
    fakes::FakeWavePlayer waves;
    NestedLoopDialogs dialogs;
    fakes::FakePause pause;
    fakes::FakeEnvironment environment;
    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    stavikhost::HostedJoysticks joysticks;
    MidiSetupForm setup;
    MainForm form;
};

} // namespace kelvane::testing
