#pragma once

#include "../core/Rig.h"
#include "fakes/FakeFileStore.h"
#include "files/PerformanceFileCommands.h"
#include "files/SetupControls.h"
#include "files/WholeSetupCommands.h"
#include "waves/WaveBanks.h"
#include "waves/WaveSlotSettings.h"

#include <array>

namespace kelvane::testing {

// The main window started as at every program start, with its performance
// file commands and wave banks attached; files live in memory.
struct FilesRig {
    // performanceFiles: where performance files go; the fake store in memory unless given.
    explicit FilesRig(FileStore* performanceFiles = nullptr) :
        rig(RigOptions {.realBanks = true, .recordSlotSettings = true, .files = performanceFiles}),
        slots(rig.slotSettings),
        files(rig.files),
        banks(rig.kelvane.banks()),
        whole(rig.kelvane.wholeSetup()),
        setup(whole.controls()),
        commands(whole.files())
    {
        rig.started();
    }

    Switch& sw(int n) { return rig.sw(n); }
    MainMenu& menu() { return rig.menu(); }
    fakes::EffectLog& log() { return rig.log; }

    Rig rig;
    RecordingSlotSettings& slots;
    fakes::FakeFileStore& files;
    WaveBanks& banks;
    WholeSetupCommands& whole;
    SetupControls& setup;
    PerformanceFileCommands& commands;
};

} // namespace kelvane::testing
