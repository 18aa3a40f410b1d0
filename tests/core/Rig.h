#pragma once

#include "MainForm.h"
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMidiOutput.h"
#include "fakes/FakeWavePlayer.h"
#include "files/MidiSetupForm.h"
#include "waves/WaveFailure.h"

#include <array>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace kelvane::testing {

// Wave slots that only record the calls a switch makes: "slot press 3". A
// slot named in failingPresses (failingReleases) throws WaveFailure from its
// press (release) after recording it, until the slot is emptied.
class RecordingWaveSlots : public WaveSlotOperations {
public:
    explicit RecordingWaveSlots(fakes::EffectLog& log) : log_(log) { }
    void playPress(int slot) override
    {
        log_.add("slot press " + std::to_string(slot));
        if (failingPresses.count(slot) != 0)
            throw WaveFailure("cannot play slot " + std::to_string(slot));
    }
    void playRelease(int slot) override
    {
        log_.add("slot release " + std::to_string(slot));
        if (failingReleases.count(slot) != 0)
            throw WaveFailure("cannot stop slot " + std::to_string(slot));
    }
    void resetLoopCounts() override { log_.add("slot reset loop counts"); }
    void emptySlot(int slot) override
    {
        log_.add("slot empty " + std::to_string(slot));
        failingPresses.erase(slot);
    }

    std::set<int> failingPresses;
    std::set<int> failingReleases;

private:
    fakes::EffectLog& log_;
};

// Wave banks that hold data where a test says so, and record each recall: "bank recall 2".
class RecordingWaveBanks : public WaveBankRecall {
public:
    explicit RecordingWaveBanks(fakes::EffectLog& log) : log_(log) { }
    bool holdsData(int bank) const override { return filled[static_cast<std::size_t>(bank - 1)]; }
    void recall(int bank) override { log_.add("bank recall " + std::to_string(bank)); }

    std::array<bool, 4> filled {};

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
        banks(log),
        setup(midi, environment),
        form(MainFormPorts {midi, waves, stavik1, stavik2, dialogs, pause, environment}, setup, slots, banks)
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
    MainMenu& menu() { return form.menu(); }

    // True while every note and channel bar is locked.
    bool barsLocked()
    {
        for (int n = 1; n <= 8; ++n) {
            if (sw(n).note.enabled() || sw(n).channel.enabled())
                return false;
        }
        return true;
    }

    // Logs the first bar's lock ("bars on", "bars off") and each indicator's
    // change ("Shape1 lit") beside the ports' log.
    void logBarsAndIndicators()
    {
        ScrollBar& first = sw(1).note;
        first.changed().connect([this, &first] { log.add(first.enabled() ? "bars on" : "bars off"); });
        for (int n = 1; n <= 8; ++n) {
            Shape& shape = sw(n).indicator;
            shape.changed().connect([this, &shape] { log.add(shape.name() + (shape.lit() ? " lit" : " dark")); });
        }
    }

    fakes::EffectLog log;
    fakes::FakeMidiOutput midi;
    fakes::FakeWavePlayer waves;
    fakes::FakeJoystickControl stavik1;
    fakes::FakeJoystickControl stavik2;
    fakes::FakeDialogs dialogs;
    fakes::FakePause pause;
    fakes::FakeEnvironment environment;
    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    MidiSetupForm setup;
    MainForm form;
};

using Log = std::vector<std::string>;

// The logs one after the other.
inline Log concat(std::initializer_list<Log> parts)
{
    Log out;
    for (const Log& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace kelvane::testing
