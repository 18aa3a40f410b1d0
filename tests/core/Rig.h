#pragma once

#include "MainForm.h"
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMidiOutput.h"
#include "fakes/FakeWavePlayer.h"
#include "files/MidiSetupForm.h"

#include <string>
#include <vector>

namespace kelvane::testing {

// Wave slots that only record the calls a switch makes: "slot press 3".
class RecordingWaveSlots : public WaveSlotOperations {
public:
    explicit RecordingWaveSlots(fakes::EffectLog& log) : log_(log) { }
    void playPress(int slot) override { log_.add("slot press " + std::to_string(slot)); }
    void playRelease(int slot) override { log_.add("slot release " + std::to_string(slot)); }
    void resetLoopCounts() override { log_.add("slot reset loop counts"); }
    void emptySlot(int slot) override { log_.add("slot empty " + std::to_string(slot)); }

private:
    fakes::EffectLog& log_;
};

// The main window with every port faked onto one ordered log.
struct Rig {
    explicit Rig(int screenWidth = 1280, std::vector<std::string> ports = {"Port A", "Port B"}) :
        midi(log, std::move(ports)),
        waves(log),
        stavik1(log, "Stavik1"),
        stavik2(log, "Stavik2"),
        dialogs(log),
        pause(log),
        environment(log, screenWidth, 800),
        slots(log),
        setup(midi, environment),
        form(MainFormPorts {midi, waves, stavik1, stavik2, dialogs, pause, environment}, setup, slots)
    {
        // The user presses Ok in the setup window unless a test says otherwise.
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
    }

    // Load and first activation, as at every program start; the log starts empty.
    Rig& started()
    {
        form.load();
        form.activate();
        log.clear();
        return *this;
    }

    Switch& sw(int n) { return form.switches().at(n); }
    void click(const std::string& menuItem) { form.menu().item(menuItem).click(); }

    fakes::EffectLog log;
    fakes::FakeMidiOutput midi;
    fakes::FakeWavePlayer waves;
    fakes::FakeJoystickControl stavik1;
    fakes::FakeJoystickControl stavik2;
    fakes::FakeDialogs dialogs;
    fakes::FakePause pause;
    fakes::FakeEnvironment environment;
    RecordingWaveSlots slots;
    MidiSetupForm setup;
    MainForm form;
};

using Log = std::vector<std::string>;

} // namespace kelvane::testing
