#pragma once

// The main window's form with its two joystick controls created from the
// built module, as the program hosts them, and every other port faked onto
// one ordered log. Joysticks are SDL virtual joysticks of this process.

#include "EventLoopRig.h"
#include "HostedJoystickControls.h"
#include "ProgramStart.h"
#include "Rig.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelvane::testing {

struct HostedRig {
    HostedRig(const std::filesystem::path& registry, const std::vector<std::filesystem::path>& modules) :
        dialogs(log),
        slots(log),
        banks(log),
        joysticks(stavikhost::hostJoystickControls(
            registry, modules, [this](const std::string& why) { said.push_back(why); })),
        kelvane(KelvanePorts {fake.midi, fake.midiInput, fake.waves, *joysticks.stavik1, *joysticks.stavik2, dialogs,
                    fake.pause, fake.environment, fake.keys, fake.preferencesStore, fake.midiInputStore, fake.files},
            KelvaneDoubles {.slots = &slots, .banks = &banks}),
        form(kelvane.mainForm())
    {
        fake.environment.whileModal = [this](Window&) { kelvane.midiSetup().okButton.click(); };
        startWithoutViews(kelvane);
        log.clear();
    }

    std::vector<std::string> said;
    fakes::FakePorts fake;
    fakes::EffectLog& log = fake.log;
    NestedLoopDialogs dialogs;
    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    stavikhost::HostedJoysticks joysticks;
    Kelvane kelvane;
    MainForm& form;
};

} // namespace kelvane::testing
