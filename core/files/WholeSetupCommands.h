#pragma once

#include "MainForm.h"
#include "files/PerformanceFileCommands.h"
#include "files/SetupControls.h"
#include "waves/WaveBanks.h"

namespace kelvane {

// The main window's commands that handle its whole setup at once: the File
// menu's performance-file commands and the wave banks F1..F4. Built after the
// window and its wave slots; gives the menu items their commands and attaches
// the banks (built before the window, whose keys recall them).
class WholeSetupCommands {
public:
    WholeSetupCommands(MainForm& form, WaveSlotSettings& slots, WaveBanks& banks, PerformanceFilePorts ports) :
        controls_(form.switches(), slots, form.menu().exclusiveWaves()),
        files_(form, form.switches(), controls_, slots, ports),
        banks_(banks)
    {
        files_.attach(form.menu());
        banks_.attach(form, {&form.bankLabel(1), &form.bankLabel(2), &form.bankLabel(3), &form.bankLabel(4)}, controls_,
            form.menu());
    }
    WholeSetupCommands(const WholeSetupCommands&) = delete;
    WholeSetupCommands& operator=(const WholeSetupCommands&) = delete;

    SetupControls& controls() { return controls_; }
    PerformanceFileCommands& files() { return files_; }
    // What the function keys F1..F4 recall.
    WaveBanks& banks() { return banks_; }

private:
    SetupControls controls_;
    PerformanceFileCommands files_;
    WaveBanks& banks_;
};

} // namespace kelvane
