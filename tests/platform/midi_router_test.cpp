// The output's device choice, checks, reports and logging, with recording
// doubles for the synthesizer and the system ports.
#include "midi/MidiOutputRouter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvane::midi {
namespace {

using Log = std::vector<std::string>;

// "90 3C 64": the log line without its time.
std::string hex(const MidiBytes& message) { return formatMidiLogLine(0, message).substr(6); }

class RecordingSynth : public MidiSynth {
public:
    explicit RecordingSynth(Log& log) : log_(log) { }
    bool play(const MidiBytes& message) override
    {
        log_.push_back("synth " + hex(message));
        return true;
    }
    void allNotesOff() override { log_.push_back("synth all notes off"); }
    std::string silenceReason() const override { return reason; }
    std::string reason;

private:
    Log& log_;
};

class RecordingPorts : public MidiPorts {
public:
    explicit RecordingPorts(Log& log) : log_(log) { }
    std::vector<std::string> names() const override { return present; }
    bool open(const std::string& name, std::string& problem) override
    {
        log_.push_back("port open " + name);
        problem = openProblem;
        return openProblem.empty();
    }
    void close() override { log_.push_back("port close"); }
    bool transmit(const MidiBytes& message, std::string& problem) override
    {
        if (!sendProblem.empty()) {
            problem = sendProblem;
            return false;
        }
        log_.push_back("port " + hex(message));
        return true;
    }
    std::vector<std::string> present {"Midi Through:Midi Through Port-0 14:0", "USB Keys:USB Keys MIDI 1 20:0"};
    std::string openProblem;
    std::string sendProblem;

private:
    Log& log_;
};

class Router : public ::testing::Test {
protected:
    Router()
    {
        router.setErrorHandler([this](int code, const std::string& text) {
            log.push_back("report " + std::to_string(code));
            texts.push_back(text);
        });
    }

    void openDevice(int device)
    {
        router.selectDevice(device);
        router.open();
    }

    Log log;
    Log texts;
    RecordingSynth synth {log};
    RecordingPorts ports {log};
    MidiOutputRouter router {synth, ports, nullptr};
};

TEST_F(Router, ListsTheMapperNameThenThePortsAndNothingBeyond)
{
    EXPECT_EQ(router.deviceCount(), 2);
    EXPECT_EQ(router.selectedDevice(), -1);
    const std::pair<int, std::string> names[] = {{-1, "Kelvane General MIDI Synth"},
        {0, "Midi Through:Midi Through Port-0 14:0"}, {1, "USB Keys:USB Keys MIDI 1 20:0"}, {2, ""}, {-2, ""}};
    for (const auto& [device, name] : names) {
        router.selectDevice(device);
        EXPECT_EQ(router.deviceName(), name) << device;
    }
    EXPECT_EQ(router.openStatus(), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(Router, SendsGoToTheOpenDeviceOnlyAndSwitchingClosesTheOldOne)
{
    router.send({0x90, 60, 100}); // nothing open: dropped silently
    openDevice(-1);
    EXPECT_EQ(router.openStatus(), 1);
    router.send({0x90, 60, 100});
    openDevice(1); // open over an open device
    router.send({0xC1, 5, {}});
    router.selectDevice(-1); // selecting alone changes nothing that is open
    router.send({0x91, 61, 0});
    router.close();
    EXPECT_EQ(router.openStatus(), 0);
    router.send({0x91, 62, 0});
    router.close(); // closing twice is harmless

    EXPECT_EQ(log,
        (Log {"synth 90 3C 64", "synth all notes off", "port open USB Keys:USB Keys MIDI 1 20:0", "port C1 05",
            "port 91 3D 00", "port close"}));
}

TEST_F(Router, RefusedMessagesAreReportedEachTimeAndNeverTransmitted)
{
    openDevice(0);
    router.send({0x90, 128, 100});
    router.send({0x100, 0, 0});
    router.send({0x90, 60, 100});
    EXPECT_EQ(log, (Log {"port open Midi Through:Midi Through Port-0 14:0", "report 3", "report 3", "port 90 3C 64"}));
}

TEST_F(Router, TrySendHandsARefusalBackWithoutAReportAndSendsWhatItTakes)
{
    openDevice(0);
    EXPECT_FALSE(router.trySend({0x97, 128, 127})); // the desk's channel 8 at octave 8
    EXPECT_FALSE(router.trySend({0xB0, 7, -1}));
    EXPECT_FALSE(router.trySend({0x90, 60, std::nullopt})); // a note-on needs its velocity
    EXPECT_TRUE(router.trySend({0x9F, 41, 100}));
    EXPECT_TRUE(router.trySend({0xC0, 5, 200})); // not part of a program change: left out, as send() does
    EXPECT_EQ(log, (Log {"port open Midi Through:Midi Through Port-0 14:0", "port 9F 29 64", "port C0 05"}));
}

TEST_F(Router, DevicesThatCannotOpenAreReportedAndLeaveNothingOpen)
{
    ports.openProblem = "The MIDI output USB Keys is no longer present.";
    openDevice(1);
    EXPECT_EQ(router.openStatus(), 0);
    openDevice(7);
    EXPECT_EQ(router.openStatus(), 0);
    router.send({0x90, 60, 100});
    EXPECT_EQ(log, (Log {"port open USB Keys:USB Keys MIDI 1 20:0", "report 2", "report 2"}));
    EXPECT_EQ(texts.front(), ports.openProblem);
}

TEST_F(Router, APortThatStopsTakingMessagesIsReportedOncePerOpening)
{
    openDevice(0);
    ports.sendProblem = "gone";
    router.send({0x90, 60, 100});
    router.send({0x90, 60, 0});
    openDevice(0);
    router.send({0x90, 60, 100});
    EXPECT_EQ(log,
        (Log {"port open Midi Through:Midi Through Port-0 14:0", "report 2", "port close",
            "port open Midi Through:Midi Through Port-0 14:0", "report 2"}));
}

TEST_F(Router, NoSoundIsToldOnceWhetherFoundAtOpenOrAtALaterSend)
{
    openDevice(-1);
    router.send({0x90, 60, 100}); // still loading: no reason yet
    synth.reason = "the soundfont /x.sf2 could not be loaded";
    router.send({0x90, 60, 0});
    router.send({0x90, 61, 100});
    openDevice(-1);
    EXPECT_EQ(log, (Log {"synth 90 3C 64", "synth 90 3C 00", "report 4", "synth 90 3D 64", "synth all notes off"}));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0],
        "The built-in synthesizer makes no sound: the soundfont /x.sf2 could not be loaded. The program plays on; "
        "choose another output in MIDI Setup to hear the music.");
}

// MIDI Setup offers nothing but the silent synthesizer: no advice to go there.
TEST_F(Router, NoSoundAdvisesMidiSetupOnlyWhenItListsAnotherOutput)
{
    ports.present.clear();
    synth.reason = "no audio output is available (No available audio device)";
    MidiOutputRouter alone(synth, ports, nullptr);
    alone.setErrorHandler([this](int, const std::string& text) { texts.push_back(text); });
    alone.open();
    EXPECT_EQ(texts,
        (Log {"The built-in synthesizer makes no sound: no audio output is available (No available audio device). "
              "The program plays on."}));
}

TEST_F(Router, NoSoundWaitsForAHandlerAndIsNotToldForPorts)
{
    synth.reason = "no audio output is available";
    MidiOutputRouter quiet(synth, ports, nullptr);
    quiet.open(); // the mapper, before anyone listens
    quiet.setErrorHandler([this](int code, const std::string&) { log.push_back("report " + std::to_string(code)); });
    quiet.selectDevice(0);
    quiet.open();
    quiet.send({0x90, 60, 100});
    quiet.selectDevice(-1);
    quiet.open();
    EXPECT_EQ(log,
        (Log {"synth all notes off", "port open Midi Through:Midi Through Port-0 14:0", "port 90 3C 64", "port close",
            "report 4"}));
}

TEST_F(Router, DeferredReportsComeAtTheFirstOpenOnly)
{
    router.deferReport(output_error::kLogUnwritable, "The MIDI log cannot be written.");
    router.send({0x90, 60, 100});
    openDevice(-1);
    openDevice(-1);
    EXPECT_EQ(log, (Log {"report 5", "synth all notes off"}));
}

TEST(RouterLog, LogsWhatTheOpenDeviceTookAndNothingElse)
{
    const auto path = std::filesystem::temp_directory_path() / "kelvane-router-log.txt";
    std::filesystem::remove(path);
    Log log;
    RecordingSynth synth(log);
    RecordingPorts ports(log);
    double now = 0.0;
    std::string problem;
    auto midiLog = MidiLog::open(
        path.string(), [&now] { return now; }, problem);
    ASSERT_TRUE(midiLog) << problem;
    MidiOutputRouter router(synth, ports, midiLog.get());
    router.setErrorHandler([](int, const std::string&) {});

    router.send({0x90, 60, 100}); // nothing open
    router.open();
    now = 12.345;
    router.send({0x90, 60, 120});
    router.send({0x90, 200, 120}); // refused
    now = 12.4;
    router.send({0xC0, 48, {}});
    ports.sendProblem = "gone";
    router.selectDevice(0);
    router.open();
    router.send({0x90, 60, 0}); // did not leave
    midiLog.reset();

    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "12.345 90 3C 78\n12.400 C0 30\n");
    std::filesystem::remove(path);
}

TEST_F(Router, AnOpenPortThatGoesIsReportedOnceAndOpenedAgainWhenItComesBackByName)
{
    openDevice(1);
    log.clear();
    const std::string keys = "USB Keys:USB Keys MIDI 1 20:0";
    ports.present = {"Midi Through:Midi Through Port-0 14:0"};
    router.portsChanged();
    router.send({0x90, 60, 100}); // goes nowhere, unreported: the loss was said
    router.portsChanged();
    ports.present.push_back("Drums:Drums MIDI 1 24:0"); // another port comes
    router.portsChanged();
    EXPECT_EQ(log, (Log {"port close", "report 2"}));
    EXPECT_EQ(router.deviceCount(), 3) << "a new port joins the list at its end";
    EXPECT_EQ(router.openStatus(), 1) << "the choice stands while its port is away";

    log.clear();
    ports.present.push_back(keys);
    router.portsChanged();
    router.send({0x90, 60, 100});
    EXPECT_EQ(log, (Log {"port open " + keys, "report 8", "port 90 3C 64"}));
    router.selectDevice(1);
    EXPECT_EQ(router.deviceName(), keys) << "device numbers never change";
    router.selectDevice(2);
    EXPECT_EQ(router.deviceName(), "Drums:Drums MIDI 1 24:0");

    log.clear();
    ports.present.clear(); // a second loss is reported again
    router.portsChanged();
    EXPECT_EQ(log, (Log {"port close", "report 2"}));
}

TEST_F(Router, APortThatComesBackButWillNotOpenIsTriedAgainAtTheNextChange)
{
    openDevice(0);
    ports.present = {};
    router.portsChanged();
    ports.present = {"Midi Through:Midi Through Port-0 14:0"};
    ports.openProblem = "busy";
    log.clear();
    router.portsChanged();
    router.send({0x90, 60, 100});
    ports.openProblem.clear();
    router.portsChanged();
    router.send({0x90, 60, 100});
    EXPECT_EQ(log,
        (Log {"port open Midi Through:Midi Through Port-0 14:0", "port open Midi Through:Midi Through Port-0 14:0",
            "report 8", "port 90 3C 64"}));
}

TEST_F(Router, PortChangesLeaveTheMapperAndAClosedOutputAlone)
{
    openDevice(-1);
    ports.present.clear();
    router.portsChanged();
    router.close();
    openDevice(1);
    router.close();
    router.portsChanged();
    EXPECT_EQ(log, (Log {"synth all notes off", "port open USB Keys:USB Keys MIDI 1 20:0", "port close"}));
}

} // namespace
} // namespace kelvane::midi
