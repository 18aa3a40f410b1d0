// Seeded random performances over every source at once (on-screen buttons,
// keys, both joysticks' buttons and sticks, a MIDI controller's notes,
// controllers and program changes, learning while held, unplugging), mixed with
// everything that changes notes and channels while switches are held
// (transposition, presets, multimode, bars, bank keys) and failing waves.
// They run through the form and the real MIDI router into a synthesizer that
// tracks every sounding note: once every source has let go, nothing sounds.
//
// KELVANE_SOAK_EVENTS sets the number of events (a million or more by hand);
// CTest runs a short soak.
#include "ProgramStart.h"
#include "Rig.h"
#include "fakes/FakeMidiInput.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/NoMidiPorts.h"
#include "inputs/MidiController.h"
#include "midi/MidiOutputRouter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// The mapper: keeps the set of sounding notes, as a synthesizer's voices.
class NoteTracker final : public midi::MidiSynth {
public:
    bool play(const midi::MidiBytes& message) override
    {
        if ((message.status() & 0xF0) != 0x90)
            return true;
        const auto note = std::make_pair(message.status() & 0x0F, int {message.bytes[1]});
        if (message.bytes[2] == 0)
            sounding.erase(note);
        else
            sounding.insert(note);
        return true;
    }
    void allNotesOff() override { sounding.clear(); }
    std::string silenceReason() const override { return {}; }

    std::set<std::pair<int, int>> sounding;
};

struct SoakRig {
    SoakRig() :
        fake(fakes::FakeSetting {.midiInputs = {"Pads"}}),
        router(tracker, ports, nullptr),
        slots(log),
        banks(log),
        kelvane(KelvanePorts {router, fake.midiInput, fake.waves, fake.stavik1, fake.stavik2, fake.dialogs, fake.pause,
                    fake.environment, fake.keys, fake.preferencesStore, fake.midiInputStore, fake.files},
            KelvaneDoubles {.slots = &slots, .banks = &banks}),
        form(kelvane.mainForm()),
        controller(kelvane.midiController())
    {
        fake.environment.whileModal = [this](Window&) { kelvane.midiSetup().okButton.click(); };
        banks.filled = {true, false, true, false};
        // Sw3 on a foot switch, sw4 on a program change; the rest on their pads.
        MidiInputSettings settings;
        settings.input = "Pads";
        settings.bindings[2].trigger = {MidiTrigger::Kind::Controller, 64, MidiTrigger::kAnyChannel};
        settings.bindings[3] = {{MidiTrigger::Kind::Program, 7, 1}, true};
        settings.bindings[5].padVelocity = true;
        midiSettings.bytes = encodeMidiInputSettings(settings);
        startWithoutViews(kelvane);
    }

    fakes::FakePorts fake;
    fakes::EffectLog& log = fake.log;
    fakes::FakeJoystickControl& stavik1 = fake.stavik1;
    fakes::FakeJoystickControl& stavik2 = fake.stavik2;
    fakes::FakeMidiInput& midiInput = fake.midiInput;
    fakes::FakeSettingsStore& midiSettings = fake.midiInputStore;
    NoteTracker tracker;
    fakes::NoMidiPorts ports;
    midi::MidiOutputRouter router;
    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    Kelvane kelvane;
    MainForm& form;
    MidiController& controller;
};

// Plays random events with physically possible sequences: a button or key
// goes up only after it went down (a key may repeat its key-down).
class Performer {
public:
    Performer(SoakRig& rig, std::uint32_t seed) : rig_(rig), random_(seed), endByUnplugging_(seed % 2 == 1) { }

    void play(long events)
    {
        for (long i = 0; i < events; ++i) {
            step();
            if ((i & 0x3FF) == 0)
                rig_.log.clear();
        }
    }

    // Every source lets go.
    void releaseEverything()
    {
        rig_.slots.failingReleases.clear();
        for (int n = 1; n <= 8; ++n) {
            if (screenHeld_.count(n) != 0)
                rig_.form.switches().at(n).button.mouseUp(MouseButton::Left);
        }
        screenHeld_.clear();
        for (int key : std::set<int>(keysDown_))
            rig_.form.keyUp(key);
        keysDown_.clear();
        for (int j = 0; j < 2; ++j) {
            for (int b = 1; b <= 4; ++b) {
                if (buttonsHeld_[j].count(b) != 0)
                    joystick(j).releaseButton(b);
            }
            buttonsHeld_[j].clear();
            joystick(j).move(32767, 32767);
        }
        // The controller lets go of its pads and its pedal, or its cable is
        // pulled: either must leave nothing it pressed sounding.
        rig_.controller.learnForm().close();
        if (endByUnplugging_) {
            if (!rig_.midiInput.openPort().empty())
                rig_.midiInput.unplug("Pads");
            return;
        }
        if (rig_.midiInput.openPort().empty())
            rig_.midiInput.plug("Pads");
        for (int note = 30; note < 50; ++note)
            midi(0x80, note, 0);
        midi(0xB0, 64, 0);
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    fakes::FakeJoystickControl& joystick(int j) { return j == 0 ? rig_.stavik1 : rig_.stavik2; }

    void step()
    {
        switch (pick(12)) {
        case 0:
        case 1:
            screen();
            break;
        case 2:
        case 3:
            key();
            break;
        case 4:
        case 5:
            button();
            break;
        case 6:
        case 7:
            stick();
            break;
        case 8:
            changeNotes();
            break;
        case 9:
        case 10:
            controller();
            break;
        default:
            plugging();
            break;
        }
    }

    void midi(int status, int data1, int data2) { rig_.midiInput.send("Pads", status, data1, data2); }

    // Pads (some bound, some not, on any channel), note-offs as note-ons at
    // velocity 0, the foot switch, program changes, learning, and the
    // controller's cable pulled and put back.
    void controller()
    {
        maybeFail(1 + pick(8));
        const int channel = pick(16);
        switch (pick(7)) {
        case 0:
        case 1:
            midi(0x90 + channel, 34 + pick(12), 1 + pick(127));
            break;
        case 2:
            midi(pick(2) == 0 ? 0x80 + channel : 0x90 + channel, 34 + pick(12), 0);
            break;
        case 3:
            midi(0xB0 + channel, 64, pick(128));
            break;
        case 4:
            midi(0xC0 + pick(2), 7, 0);
            break;
        case 5: {
            MidiLearnForm& learn = rig_.controller.learnForm();
            if (pick(4) == 0)
                learn.defaultButton.click();
            else
                learn.row(1 + pick(8)).learn.click(); // the next message is learned
            break;
        }
        default:
            if (rig_.midiInput.openPort().empty())
                rig_.midiInput.plug("Pads");
            else
                rig_.midiInput.unplug("Pads");
            break;
        }
    }

    void screen()
    {
        const int n = 1 + pick(8);
        Button& button = rig_.form.switches().at(n).button;
        if (screenHeld_.count(n) == 0) {
            maybeFail(n);
            screenHeld_.insert(n);
            try {
                button.mouseDown(MouseButton::Left);
            } catch (const WaveFailure&) {
                // the on-screen press's failure is its binding's to report
            }
        } else {
            screenHeld_.erase(n);
            try {
                button.mouseUp(MouseButton::Left);
            } catch (const WaveFailure&) {
            }
        }
    }

    void key()
    {
        static constexpr int kKeys[]
            = {49, 50, 51, 52, 53, 54, 55, 56, 97, 98, 103, 104, 112, 113, 114, 78, 80, 16, 32};
        const int code = kKeys[pick(static_cast<int>(std::size(kKeys)))];
        if (keysDown_.count(code) == 0 || pick(2) == 0) {
            maybeFail(1 + pick(8));
            keysDown_.insert(code);
            rig_.form.keyDown(code); // the second time: an auto-repeat
        } else {
            keysDown_.erase(code);
            rig_.form.keyUp(code);
        }
    }

    void button()
    {
        const int j = pick(2);
        const int b = 1 + pick(4);
        if (buttonsHeld_[j].count(b) == 0) {
            maybeFail(1 + pick(8));
            buttonsHeld_[j].insert(b);
            joystick(j).pressButton(b);
        } else {
            buttonsHeld_[j].erase(b);
            joystick(j).releaseButton(b);
        }
    }

    void stick()
    {
        static constexpr int kValues[] = {0, 999, 1000, 5000, 10000, 10001, 32767, 65535};
        maybeFail(1 + pick(8));
        joystick(pick(2)).move(kValues[pick(8)], kValues[pick(8)]);
    }

    void plugging()
    {
        const int j = pick(2);
        joystick(j).unplug(); // releases what it held; plugging in again changes nothing
        buttonsHeld_[j].clear();
    }

    void changeNotes()
    {
        MainMenu& menu = rig_.form.menu();
        // Transpositions, the presets FX1, Orchestra and Major Strings, Multimode and a velocity step.
        MenuItem* const commands[] = {&menu.octaveUp(), &menu.octaveDown(), &menu.semitoneUp(), &menu.semitoneDown(),
            &menu.preset(3), &menu.preset(2), &menu.preset(4), &menu.multimode(), &menu.velocityDown()};
        SwitchSet& switches = rig_.form.switches();
        switch (pick(3)) {
        case 0:
            commands[pick(static_cast<int>(std::size(commands)))]->click();
            break;
        case 1:
            switches.at(1 + pick(8)).note.setValue(1 + pick(127));
            break;
        default:
            switches.at(1 + pick(8)).channel.setValue(1 + pick(16));
            break;
        }
    }

    void maybeFail(int slot)
    {
        if (pick(20) == 0)
            rig_.slots.failingPresses.insert(slot);
        if (pick(40) == 0)
            rig_.slots.failingReleases.insert(slot);
        else if (pick(10) == 0)
            rig_.slots.failingReleases.clear();
    }

    SoakRig& rig_;
    std::mt19937 random_;
    bool endByUnplugging_;
    std::set<int> screenHeld_;
    std::set<int> keysDown_;
    std::set<int> buttonsHeld_[2];
};

long soakEvents()
{
    const char* set = std::getenv("KELVANE_SOAK_EVENTS");
    const long events = set != nullptr ? std::atol(set) : 0;
    return events > 0 ? events : 100'000;
}

TEST(StuckNotes, AfterEveryRandomPerformanceAndItsReleasesNothingSounds)
{
    constexpr int kSeeds = 8;
    const long perSeed = soakEvents() / kSeeds;
    long played = 0;
    for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
        SoakRig rig;
        Performer performer(rig, seed);
        performer.play(perSeed);
        performer.releaseEverything();
        played += perSeed;
        for (int n = 1; n <= 8; ++n)
            EXPECT_FALSE(rig.controller.performance().holds(n)) << "the controller still holds sw" << n;
        EXPECT_TRUE(rig.tracker.sounding.empty())
            << rig.tracker.sounding.size() << " notes still sound after seed " << seed << ", e.g. channel "
            << rig.tracker.sounding.begin()->first + 1 << " note " << rig.tracker.sounding.begin()->second;
    }
    std::printf("stuck-note soak: %ld events over %d seeds\n", played, kSeeds);
}

} // namespace
