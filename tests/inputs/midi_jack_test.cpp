// A MIDI controller end to end, on a JACK server the test starts: the test's
// own JACK clients play the pad ("pad:out") and listen at the output
// ("monitor:in"); between them run the program's real MIDI input and output
// (RtMidi on JACK, ports followed by the watch's rescan), the main window's
// form and the MIDI controller input, chosen in the MIDI Setup window as a
// user chooses them. Message boxes run event loops of their own, as real ones.
#include "EventLoopRig.h"
#include "JackServer.h"
#include "ProgramStart.h"
#include "Rig.h"
#include "fakes/FakeSettingsStore.h"
#include "inputs/MidiController.h"
#include "midi/SystemMidi.h"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

constexpr int kWaitMs = 15000; // generous: the machine may be busy
constexpr int kRescanMs = 50;

std::string hex(const std::vector<unsigned char>& bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%s%02X", text.empty() ? "" : " ", byte);
        text += part;
    }
    return text;
}

// The test's controller: a JACK client with one output port, "pad:out".
class Pad {
public:
    Pad() { plug(); }
    void plug() { out_.openVirtualPort("out"); }
    void unplug() { out_.closePort(); }
    void send(std::vector<unsigned char> bytes) { out_.sendMessage(&bytes); }
    // JACK takes a new connection into its graph at a later cycle, and what
    // is sent before then is lost: sends the messages until done() holds,
    // every 20 ms (a switch held already ignores repeated presses).
    bool hitUntil(const std::vector<std::vector<unsigned char>>& messages, const std::function<bool()>& done)
    {
        QElapsedTimer since;
        return runUntil(
            [&] {
                if (!since.isValid() || since.elapsed() >= 20) {
                    for (const auto& message : messages)
                        send(message);
                    since.start();
                }
                return done();
            },
            kWaitMs);
    }

private:
    RtMidiOut out_ {RtMidi::UNIX_JACK, "pad"};
};

// What reaches the program's output: a JACK client with one input port,
// "monitor:in", that keeps every message (on JACK's thread) as hex text.
class Monitor {
public:
    Monitor()
    {
        in_.setCallback(&Monitor::received, this);
        plug();
    }
    void plug() { in_.openVirtualPort("in"); }
    void unplug() { in_.closePort(); }
    std::string all() const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::string text;
        for (const std::string& message : messages_)
            text += message + "; ";
        return text;
    }
    bool got(const std::string& message) const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::find(messages_.begin(), messages_.end(), message) != messages_.end();
    }
    void forget()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        messages_.clear();
    }

private:
    static void received(double, std::vector<unsigned char>* bytes, void* self)
    {
        auto* monitor = static_cast<Monitor*>(self);
        const std::lock_guard<std::mutex> lock(monitor->mutex_);
        monitor->messages_.push_back(hex(*bytes));
    }

    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
    RtMidiIn in_ {RtMidi::UNIX_JACK, "monitor"};
};

// The program's side: real MIDI on JACK, the main window's form with its
// other ports faked onto one log, the controller input with its settings in
// memory.
struct Program {
    Program() :
        midi(midi::SystemMidiOptions {{}, {}, 256, {}, midi::MidiApi::Jack, kRescanMs}),
        dialogs(log),
        slots(log),
        banks(log),
        kelvane(KelvanePorts {midi.output(), midi.input(), fake.waves, fake.stavik1, fake.stavik2, dialogs, fake.pause,
                    environment, fake.keys, fake.preferencesStore, store, fake.files},
            KelvaneDoubles {.slots = &slots, .banks = &banks}),
        setup(kelvane.midiSetup()),
        form(kelvane.mainForm())
    {
    }

    // The program's start, with the monitor chosen for output and the pad for input.
    void start()
    {
        environment.whileModal = [this](Window&) {
            choose(setup.comboMidiOut, "monitor:in");
            choose(setup.comboMidiIn, "pad:out");
            setup.okButton.click();
        };
        startWithoutViews(kelvane);
    }

    static void choose(ListBox& list, const std::string& entry)
    {
        const auto& items = list.items();
        const auto found = std::find(items.begin(), items.end(), entry);
        ASSERT_NE(found, items.end()) << entry << " is not listed";
        list.setListIndex(static_cast<int>(found - items.begin()));
    }

    bool told(const std::string& start) const
    {
        const auto messages = log.startingWith("message " + start);
        return !messages.empty();
    }

    fakes::FakePorts fake;
    fakes::EffectLog& log = fake.log;
    fakes::FakeEnvironment& environment = fake.environment;
    fakes::FakeSettingsStore& store = fake.midiInputStore;
    midi::SystemMidi midi;
    NestedLoopDialogs dialogs;
    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    Kelvane kelvane;
    MidiSetupForm& setup;
    MainForm& form;
    MidiController& controller = kelvane.midiController();
};

class MidiOverJack : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ready()) << "jackd did not start:\n" << server.output();
        pad = std::make_unique<Pad>();
        monitor = std::make_unique<Monitor>();
        program = std::make_unique<Program>();
        program->start();
        ASSERT_TRUE(program->controller.connection().connected()) << "the pad's port did not open";
    }
    void TearDown() override
    {
        program.reset();
        monitor.reset();
        pad.reset();
    }

    // Sw1 plays note 60 (3C) at velocity 120 (78) on channel 1 after the
    // "Major Strings" start; the pad's first pad is note 36 on channel 10.
    static constexpr const char* kSwitch1On = "90 3C 78";
    static constexpr const char* kSwitch1Off = "90 3C 00";
    static constexpr const char* kSwitch2On = "90 3E 78";

    JackServer server;
    std::unique_ptr<Pad> pad;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<Program> program;
};

TEST_F(MidiOverJack, APadHitBecomesItsSwitchsNoteOnAtTheOutputAndItsNoteOffTheNoteOff)
{
    ASSERT_TRUE(pad->hitUntil({{0x99, 36, 100}}, [&] { return monitor->got(kSwitch1On); }))
        << "at the output: " << monitor->all();
    EXPECT_TRUE(program->form.switches().at(1).indicator.lit());
    pad->send({0x89, 36, 0});
    ASSERT_TRUE(runUntil([&] { return monitor->got(kSwitch1Off); }, kWaitMs));
    EXPECT_FALSE(program->form.switches().at(1).indicator.lit());
}

TEST_F(MidiOverJack, APadUnpluggedWhileHeldIsReleasedAndPlaysAgainOnceBackEvenInsideTheBox)
{
    ASSERT_TRUE(pad->hitUntil({{0x99, 36, 100}}, [&] { return monitor->got(kSwitch1On); }));

    // The loss is told in a box; the pad comes back and plays while it is up.
    bool playedInsideTheBox = false;
    program->dialogs.whileOpen = [&] {
        pad->plug();
        runUntil([&] { return program->controller.connection().connected(); }, kWaitMs);
        playedInsideTheBox = pad->hitUntil({{0x99, 37, 90}}, [&] { return monitor->got(kSwitch2On); });
    };
    pad->unplug();
    ASSERT_TRUE(runUntil([&] { return monitor->got(kSwitch1Off); }, kWaitMs)) << "the held switch is released";
    ASSERT_TRUE(runUntil([&] { return playedInsideTheBox; }, kWaitMs));
    EXPECT_TRUE(program->told("The MIDI input pad:out has been disconnected"));
    EXPECT_FALSE(program->form.switches().at(1).indicator.lit());
    EXPECT_TRUE(program->form.switches().at(2).indicator.lit());
}

TEST_F(MidiOverJack, TheChosenOutputThatGoesIsToldOnceAndOpenedAgainWhenItIsBack)
{
    monitor->unplug();
    ASSERT_TRUE(runUntil([&] { return program->told("The MIDI output monitor:in has been disconnected"); }, kWaitMs));
    pad->send({0x99, 36, 100}); // plays into nothing, and says nothing more
    pad->send({0x89, 36, 0});
    runUntil([] { return false; }, 4 * kRescanMs);
    EXPECT_EQ(program->log.startingWith("message ").size(), 1u);

    monitor->forget();
    monitor->plug();
    // Back by name: the next hit sounds at the output again.
    ASSERT_TRUE(pad->hitUntil({{0x99, 37, 100}, {0x89, 37, 0}}, [&] { return monitor->got(kSwitch2On); }));
    EXPECT_EQ(program->log.startingWith("message ").size(), 1u);
}

} // namespace
