// Message checks, the MIDI log's line format and file, and the command-line options.
#include "audio/MessageQueue.h"
#include "midi/MidiBytes.h"
#include "midi/MidiLog.h"
#include "midi/SystemMidi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace kelvane::midi {
namespace {

using audio::MessageQueue;

MidiBytes bytes(std::initializer_list<std::uint8_t> values)
{
    MidiBytes message;
    std::copy(values.begin(), values.end(), message.bytes.begin());
    message.size = values.size();
    return message;
}

TEST(EncodeShortMessage, BuildsWireBytesForEveryChannelMessageKind)
{
    struct Row {
        ShortMessage in;
        MidiBytes out;
    };
    const Row rows[] = {
        {{0x90, 60, 120}, bytes({0x90, 0x3C, 0x78})}, // note-on, channel 1
        {{0x9F, 127, 0}, bytes({0x9F, 0x7F, 0x00})}, // note-off as velocity 0, channel 16
        {{0xC0, 48, {}}, bytes({0xC0, 0x30})}, // program change: two bytes
        {{0xCF, 0, 99}, bytes({0xCF, 0x00})}, // a stray second byte is not part of it
        {{0xD3, 5, 200}, bytes({0xD3, 0x05})}, // channel pressure, stray byte unchecked
        {{0xB0, 7, 100}, bytes({0xB0, 0x07, 0x64})}, // controller 7
        {{0x80, 0, 0}, bytes({0x80, 0x00, 0x00})}, // lowest status
        {{0xEF, 127, 127}, bytes({0xEF, 0x7F, 0x7F})}, // highest status
    };
    for (const Row& row : rows) {
        const Encoding encoding = encodeShortMessage(row.in);
        ASSERT_TRUE(encoding.message) << row.in.status << ": " << encoding.refusal;
        EXPECT_EQ(*encoding.message, row.out) << row.in.status;
    }
}

TEST(EncodeShortMessage, RefusesEveryByteThatCannotGoOnTheWire)
{
    const ShortMessage refused[] = {
        {0x7F, 60, 100}, // a data byte where the status belongs
        {0xF0, 60, 100}, // system exclusive is not a short channel message
        {0xF8, 0, {}}, // real-time
        {-112, 60, 100}, // negative
        {0x190, 60, 100}, // 0x90 with a ninth bit: must not be truncated to a note-on
        {0x90, 128, 100}, // data 1 just above 127
        {0x90, -1, 100}, {0x90, 60, 128}, // data 2 just above 127
        {0x90, 60, -1}, {0xC0, 128, {}}, {0x90, 60, {}}, // a note-on without its velocity
    };
    for (const ShortMessage& message : refused) {
        const Encoding encoding = encodeShortMessage(message);
        EXPECT_FALSE(encoding.message) << message.status << " " << message.data1;
        EXPECT_NE(encoding.refusal.find("refused"), std::string::npos) << encoding.refusal;
    }
}

TEST(MessageQueue, EverythingPushedFromOneThreadArrivesInOrderAtTheOther)
{
    // A small queue, so that both the full and the empty side are crossed
    // many times while the threads run.
    MessageQueue<std::uint32_t, 64> queue;
    constexpr std::uint32_t kCount = 200000;
    std::vector<std::uint32_t> received;
    received.reserve(kCount);
    std::thread consumer([&] {
        while (received.size() < kCount)
            if (queue.drain([&](std::uint32_t value) { received.push_back(value); }) == 0)
                std::this_thread::yield();
    });
    std::size_t refusals = 0;
    for (std::uint32_t value = 0; value < kCount; ++value)
        while (!queue.push(value)) {
            ++refusals;
            std::this_thread::yield();
        }
    consumer.join();
    ASSERT_EQ(received.size(), kCount);
    for (std::uint32_t value = 0; value < kCount; ++value)
        ASSERT_EQ(received[value], value);
    EXPECT_EQ(queue.size(), 0U);
}

TEST(MessageQueue, AFullQueueRefusesUntilTheOtherSideTakesOne)
{
    MessageQueue<int, 4> queue;
    for (int value = 1; value <= 4; ++value)
        EXPECT_TRUE(queue.push(value));
    EXPECT_FALSE(queue.push(5));
    EXPECT_EQ(queue.pop(), 1);
    EXPECT_TRUE(queue.push(5));
    EXPECT_FALSE(queue.push(6));
    std::vector<int> rest;
    EXPECT_EQ(queue.drain([&](int value) { rest.push_back(value); }), 4U);
    EXPECT_EQ(rest, (std::vector<int> {2, 3, 4, 5}));
    EXPECT_EQ(queue.pop(), std::nullopt);
}

TEST(MidiLogLine, SecondsWithThreeDecimalsThenUpperCaseHexBytes)
{
    EXPECT_EQ(formatMidiLogLine(12.345, bytes({0x90, 0x3C, 0x78})), "12.345 90 3C 78");
    EXPECT_EQ(formatMidiLogLine(12.4, bytes({0xC0, 0x30})), "12.400 C0 30");
    EXPECT_EQ(formatMidiLogLine(0.0, bytes({0xEF, 0x7F, 0x00})), "0.000 EF 7F 00");
    EXPECT_EQ(formatMidiLogLine(3601.0004, bytes({0xB0, 0x07, 0x0A})), "3601.000 B0 07 0A");
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file's text once it equals `expected`, or what it holds after two
// seconds: far longer than the writer's flush interval.
std::string textOnceWritten(const std::filesystem::path& path, const std::string& expected)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::string text = readAll(path);
    while (text != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        text = readAll(path);
    }
    return text;
}

TEST(MidiLogFile, AppendsFlushedLinesAfterWhatTheFileHeldAndReportsAnUnwritablePath)
{
    const auto path = std::filesystem::temp_directory_path() / "kelvane-midi-log-test.txt";
    std::ofstream(path) << "earlier run\n";
    double now = 1.5;
    std::string problem;
    auto log = MidiLog::open(
        path.string(), [&now] { return now; }, problem);
    ASSERT_TRUE(log) << problem;
    EXPECT_TRUE(log->append(bytes({0x90, 0x3C, 0x78})));
    now = 2.25;
    EXPECT_TRUE(log->append(bytes({0xC0, 0x30})));
    // Readable while the log is still open: the writer flushes by itself.
    EXPECT_EQ(textOnceWritten(path, "earlier run\n1.500 90 3C 78\n2.250 C0 30\n"),
        "earlier run\n1.500 90 3C 78\n2.250 C0 30\n");
    log.reset();
    std::filesystem::remove(path);

    EXPECT_FALSE(MidiLog::open(
        "/no-such-folder/midi.log", [] { return 0.0; }, problem));
    EXPECT_NE(problem.find("/no-such-folder/midi.log"), std::string::npos) << problem;
}

TEST(MidiLogFile, EveryLineOfABurstIsInTheFileInOrderOnceTheLogCloses)
{
    const auto path = std::filesystem::temp_directory_path() / "kelvane-midi-log-burst.txt";
    std::filesystem::remove(path);
    int tick = 0;
    std::string problem;
    auto log = MidiLog::open(
        path.string(), [&tick] { return tick / 1000.0; }, problem);
    ASSERT_TRUE(log) << problem;
    std::string expected;
    for (tick = 0; tick < 5000; ++tick) {
        const auto note = static_cast<std::uint8_t>(tick % 128);
        const MidiBytes message = bytes({0x90, note, static_cast<std::uint8_t>(tick % 2 ? 0 : 100)});
        ASSERT_TRUE(log->append(message));
        expected += formatMidiLogLine(tick / 1000.0, message) + "\n";
    }
    log.reset(); // a normal end: the lines still waiting are written, none lost
    EXPECT_EQ(readAll(path), expected);
    std::filesystem::remove(path);
}

TEST(MidiLogFile, AWriteThatFailsLaterIsToldAtTheNextAppend)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    std::string problem;
    auto log = MidiLog::open(
        "/dev/full", [] { return 1.0; }, problem);
    ASSERT_TRUE(log) << problem;
    EXPECT_TRUE(log->append(bytes({0x90, 0x3C, 0x78}))); // the disk is not touched here
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    bool told = false;
    while (!told && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        told = !log->append(bytes({0x90, 0x3C, 0}));
    }
    EXPECT_TRUE(told);
}

TEST(SystemMidiOptions, ReadsItsOwnOptionsAndLeavesTheRest)
{
    std::vector<std::string> problems;
    const auto options = parseSystemMidiOptions(
        {"song.dnc", "--soundfont", "/x/gm.sf2", "--midi-log=/tmp/m.log", "--audio-buffer", "512", "--other"},
        problems);
    EXPECT_EQ(options.soundFont, "/x/gm.sf2");
    EXPECT_EQ(options.midiLog, "/tmp/m.log");
    EXPECT_EQ(options.audioBufferFrames, 512);
    EXPECT_TRUE(problems.empty());

    const auto defaults = parseSystemMidiOptions({}, problems);
    EXPECT_EQ(defaults.audioBufferFrames, audio::AudioSettings::kDefaultBufferFrames);
    EXPECT_TRUE(defaults.audioDriver.empty());
    EXPECT_TRUE(defaults.soundFont.empty());
    EXPECT_TRUE(defaults.midiLog.empty());
}

TEST(SystemMidiOptions, BadBufferSizesKeepTheDefaultAndSaySo)
{
    for (const char* bad : {"0", "-256", "31", "8193", "256x", "", "99999999999999999999"}) {
        std::vector<std::string> problems;
        const auto options = parseSystemMidiOptions({"--audio-buffer", bad}, problems);
        EXPECT_EQ(options.audioBufferFrames, audio::AudioSettings::kDefaultBufferFrames) << bad;
        EXPECT_EQ(problems.size(), 1u) << bad;
    }
    std::vector<std::string> problems;
    const auto options = parseSystemMidiOptions({"--midi-log"}, problems);
    EXPECT_TRUE(options.midiLog.empty());
    EXPECT_EQ(problems.size(), 1u);
}

TEST(SystemMidiOptions, TheAudioDriverMustBeOneThatThisSdlOffers)
{
    std::vector<std::string> problems;
    EXPECT_EQ(parseSystemMidiOptions({"--audio-driver", "dummy"}, problems).audioDriver, "dummy");
    EXPECT_EQ(parseSystemMidiOptions({"--audio-driver=disk"}, problems).audioDriver, "disk");
    EXPECT_TRUE(problems.empty());

    for (const char* bad : {"pipwire", "", "DUMMY"}) {
        std::vector<std::string> said;
        EXPECT_TRUE(parseSystemMidiOptions({"--audio-driver", bad}, said).audioDriver.empty()) << bad;
        ASSERT_EQ(said.size(), 1u) << bad;
        // The sentence names what was given and what would do.
        EXPECT_NE(said.front().find(std::string("\"") + bad + "\""), std::string::npos) << said.front();
        EXPECT_NE(said.front().find("dummy"), std::string::npos) << said.front();
    }
    std::vector<std::string> said;
    parseSystemMidiOptions({"--audio-driver"}, said);
    EXPECT_EQ(said, (std::vector<std::string> {"--audio-driver needs a value."}));
}

TEST(ChooseSoundFont, OverrideWinsEvenWhenMissingThenTheSystemDefaultsInOrder)
{
    const auto none = [](const std::string&) { return false; };
    const auto onlyTim = [](const std::string& path) { return path.ends_with("TimGM6mb.sf2"); };
    const auto all = [](const std::string&) { return true; };
    EXPECT_EQ(chooseSoundFont("/missing.sf2", none), "/missing.sf2");
    EXPECT_EQ(chooseSoundFont("", all), "/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(chooseSoundFont("", onlyTim), "/usr/share/sounds/sf2/TimGM6mb.sf2");
    EXPECT_EQ(chooseSoundFont("", none), "");
}

TEST(ChooseSoundFont, AnInstallationsOwnSoundfontsComeBeforeTheSystemsAndTheOverrideBeforeAll)
{
    const std::string share = "/opt/kelvane/share/";
    const auto installedTim
        = [](const std::string& path) { return path == "/opt/kelvane/share/sounds/sf2/TimGM6mb.sf2"; };
    const auto installedTimAndSystem
        = [&](const std::string& path) { return installedTim(path) || path.starts_with("/usr/share/"); };
    const auto onlySystem = [](const std::string& path) { return path.starts_with("/usr/share/"); };
    EXPECT_EQ(chooseSoundFont("", installedTimAndSystem, share), "/opt/kelvane/share/sounds/sf2/TimGM6mb.sf2");
    EXPECT_EQ(chooseSoundFont("", onlySystem, share), "/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(chooseSoundFont("/mine.sf2", installedTimAndSystem, share), "/mine.sf2");
    // Installed under /usr, the installation's folder is the system's.
    EXPECT_EQ(chooseSoundFont("", onlySystem, "/usr/share/"), "/usr/share/sounds/sf2/default-GM.sf2");
}

} // namespace
} // namespace kelvane::midi
