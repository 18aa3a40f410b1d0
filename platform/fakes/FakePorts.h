#pragma once

#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeFileStore.h"
#include "fakes/FakeKeystrokes.h"
#include "fakes/FakeMidiInput.h"
#include "fakes/FakeMidiOutput.h"
#include "fakes/FakePreferencesStore.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWavePlayer.h"
#include "fakes/ScriptedPause.h"
#include "ports/KelvanePorts.h"

#include <string>
#include <utility>
#include <vector>

namespace kelvane::fakes {

// What a test's screen and devices look like.
struct FakeSetting {
    int screenWidth = 1280;
    int screenHeight = 800;
    std::vector<std::string> midiPorts {"Port A", "Port B"};
    std::vector<std::string> midiInputs {};
};

// Every port of the program faked onto one ordered log.
struct FakePorts {
    explicit FakePorts(FakeSetting setting = {}) :
        midi(log, std::move(setting.midiPorts)),
        midiInput(log, std::move(setting.midiInputs)),
        waves(log),
        stavik1(log, "Stavik1"),
        stavik2(log, "Stavik2"),
        dialogs(log),
        pause(log),
        environment(log, setting.screenWidth, setting.screenHeight),
        keys(log),
        preferencesStore(log),
        midiInputStore(log),
        files(log)
    {
    }
    FakePorts(const FakePorts&) = delete;
    FakePorts& operator=(const FakePorts&) = delete;

    KelvanePorts ports() { return ports(files); }
    // The same, with the performance files kept elsewhere (on disk).
    KelvanePorts ports(FileStore& performanceFiles)
    {
        return {midi, midiInput, waves, stavik1, stavik2, dialogs, pause, environment, keys, preferencesStore,
            midiInputStore, performanceFiles};
    }

    EffectLog log;
    FakeMidiOutput midi;
    FakeMidiInput midiInput;
    FakeWavePlayer waves;
    FakeJoystickControl stavik1;
    FakeJoystickControl stavik2;
    FakeDialogs dialogs;
    ScriptedPause pause; // a fade's steps run what a test posted, nested
    FakeEnvironment environment;
    FakeKeystrokes keys;
    FakePreferencesStore preferencesStore;
    FakeSettingsStore midiInputStore;
    FakeFileStore files;
};

} // namespace kelvane::fakes
