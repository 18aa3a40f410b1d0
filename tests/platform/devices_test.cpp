// The real adapters on this machine: FluidSynth with the Debian soundfont,
// SDL's dummy audio driver, and RtMidi with whatever sequencer there is.
#include "audio/AudioOutput.h"
#include "audio/AudioSource.h"
#include "midi/MidiLog.h"
#include "midi/MidiOutputRouter.h"
#include "midi/RtMidiOutputPorts.h"
#include "midi/SoundFontSynth.h"
#include "midi/SystemMidi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvane::midi {
namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr MidiBytes kNoteOn {{0x90, 60, 110}, 3};

int peakOf(SoundFontSynth& synth, int frames)
{
    std::vector<std::int16_t> buffer(2 * static_cast<std::size_t>(frames));
    synth.render(buffer.data(), frames);
    int peak = 0;
    for (std::int16_t sample : buffer)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

TEST(SoundFontSynth, SilentBeforeANoteOnAndSoundingAfterIt)
{
    SoundFontSynth synth({kSoundFont, 48000, SoundFontSettings::kDefaultGain});
    ASSERT_TRUE(synth.waitUntilLoaded()) << synth.silenceReason();
    EXPECT_EQ(peakOf(synth, 4800), 0);
    synth.play(kNoteOn);
    EXPECT_GT(peakOf(synth, 4800), 1000);
    EXPECT_EQ(synth.silenceReason(), "");
}

TEST(SoundFontSynth, MessagesPlayedWhileLoadingAreKeptInOrder)
{
    SoundFontSynth synth({kSoundFont, 48000, SoundFontSettings::kDefaultGain});
    synth.play(kNoteOn); // almost surely before the load has ended
    synth.play({{0x90, 64, 110}, 3});
    synth.play({{0x90, 64, 0}, 3});
    ASSERT_TRUE(synth.waitUntilLoaded());
    EXPECT_GT(peakOf(synth, 4800), 1000);
    synth.allNotesOff(); // the release phase fades within two seconds
    peakOf(synth, 96000);
    EXPECT_LT(peakOf(synth, 4800), 50);
}

TEST(SoundFontSynth, MissingOrBrokenSoundFontsGiveAReasonAndStaySilent)
{
    const auto broken = std::filesystem::temp_directory_path() / "kelvane-broken.sf2";
    {
        // A soundfont's header with nothing behind it: only the load finds out.
        std::ofstream out(broken, std::ios::binary);
        const char header[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'};
        out.write(header, sizeof header);
    }
    for (const std::string& path : {std::string("/no/such/font.sf2"), std::string("/etc/hostname"), broken.string()}) {
        SoundFontSynth synth({path, 48000, SoundFontSettings::kDefaultGain});
        synth.play(kNoteOn);
        EXPECT_FALSE(synth.waitUntilLoaded()) << path;
        EXPECT_NE(synth.silenceReason().find(path), std::string::npos) << synth.silenceReason();
        synth.play(kNoteOn);
        EXPECT_EQ(peakOf(synth, 4800), 0) << path;
    }
    std::filesystem::remove(broken);
}

// Passes the synth's sound through and wakes the test once a buffer carries sound.
class Listener : public audio::AudioSource {
public:
    explicit Listener(audio::AudioSource& inner) : inner_(inner) { }
    void render(std::int16_t* out, int frames) noexcept override
    {
        inner_.render(out, frames);
        bool loud = false;
        for (int i = 0; i < 2 * frames; ++i)
            loud = loud || out[i] != 0;
        std::lock_guard lock(mutex_);
        ++buffers_;
        heard_ = heard_ || loud;
        wake_.notify_all();
    }
    bool waitForSound()
    {
        std::unique_lock lock(mutex_);
        return wake_.wait_for(lock, std::chrono::seconds(20), [this] { return heard_; });
    }
    int buffers()
    {
        std::lock_guard lock(mutex_);
        return buffers_;
    }

private:
    audio::AudioSource& inner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    int buffers_ = 0;
    bool heard_ = false;
};

TEST(AudioOutput, TheSynthSoundsThroughTheDeviceAfterANoteOn)
{
    std::string problem;
    auto output = audio::AudioOutput::open({48000, 256}, problem);
    ASSERT_TRUE(output) << problem;
    EXPECT_EQ(output->sampleRate(), 48000);
    SoundFontSynth synth({kSoundFont, output->sampleRate(), SoundFontSettings::kDefaultGain});
    ASSERT_TRUE(synth.waitUntilLoaded());
    Listener listener(synth);
    auto hook = output->attachMusic(listener);
    ASSERT_TRUE(synth.play(kNoteOn));
    EXPECT_TRUE(listener.waitForSound());
    // The period it really runs with is known once a period has run.
    EXPECT_GT(output->obtainedPeriodFrames(), 0);
    EXPECT_NE(output->describePeriod().find(std::to_string(output->obtainedPeriodFrames()) + " frames per period"),
        std::string::npos)
        << output->describePeriod();
    hook = {};
    const int afterDetach = listener.buffers();
    output.reset(); // closing waits for the audio thread
    EXPECT_EQ(listener.buffers(), afterDetach);
}

TEST(RtMidiOutputPorts, WithoutASequencerThereAreNoPortsAndNothingThrows)
{
    if (std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    RtMidiOutputPorts ports(MidiApi::AlsaSequencer, SystemMidi::kClientName);
    EXPECT_NE(ports.unavailableReason(), "");
    EXPECT_TRUE(ports.names().empty());
    std::string problem;
    EXPECT_FALSE(ports.open("Midi Through:Midi Through Port-0 14:0", problem));
    EXPECT_EQ(problem, ports.unavailableReason());
    EXPECT_FALSE(ports.transmit(kNoteOn, problem));
    ports.close();
}

struct Reports {
    std::vector<int> codes;
    std::vector<std::string> texts;
    MidiOutput::ErrorHandler handler()
    {
        return [this](int code, const std::string& text) {
            codes.push_back(code);
            texts.push_back(text);
        };
    }
};

TEST(SystemMidi, ABadSoundFontIsToldOnceAndTheMapperStillTakesAndLogsMessages)
{
    const auto logPath = std::filesystem::temp_directory_path() / "kelvane-system-midi.log";
    std::filesystem::remove(logPath);
    {
        SystemMidi midi({"/no/such/font.sf2", logPath.string(), 256});
        Reports reports;
        MidiOutput& out = midi.output();
        out.setErrorHandler(reports.handler());
        out.selectDevice(-1);
        out.open();
        out.send({0x90, 60, 100});
        out.send({0x90, 60, 300});
        out.close();
        out.open();
        out.send({0xC0, 48, {}});
        EXPECT_EQ(reports.codes, (std::vector<int> {midi_error::kNoSound, midi_error::kMessageRefused}));
        EXPECT_NE(reports.texts.front().find("/no/such/font.sf2"), std::string::npos) << reports.texts.front();
        EXPECT_EQ(out.deviceName(), "Kelvane General MIDI Synth");
    }
    std::ifstream in(logPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(line.find(' ') + 1));
    EXPECT_EQ(lines, (std::vector<std::string> {"90 3C 64", "C0 30"}));
    std::filesystem::remove(logPath);
}

TEST(SystemMidi, WithoutAnAudioDeviceTheProgramRunsOnAndIsToldOnce)
{
    const char* before = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = before ? before : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        SystemMidi midi({});
        EXPECT_EQ(midi.audioOutput(), nullptr);
        // SDL's own words, for the wave slots' message.
        EXPECT_NE(midi.audioProblem().find("no-such-driver"), std::string::npos) << midi.audioProblem();
        EXPECT_FALSE(midi.waitForSoundFont());
        Reports reports;
        midi.output().setErrorHandler(reports.handler());
        midi.output().open();
        midi.output().send({0x90, 60, 100});
        midi.output().open();
        EXPECT_EQ(reports.codes, (std::vector<int> {midi_error::kNoSound}));
    }
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
}

// The system has no ports here: the router's mapper is all there is.
class NoPorts : public MidiPorts {
public:
    std::vector<std::string> names() const override { return {}; }
    bool open(const std::string&, std::string& problem) override
    {
        problem = "no ports";
        return false;
    }
    void close() override { }
    bool transmit(const MidiBytes&, std::string& problem) override
    {
        problem = "no ports";
        return false;
    }
};

// What the audio thread handed to FluidSynth, in order. Read after the audio
// thread has stopped.
struct Taken {
    std::vector<MidiBytes> messages;
    SoundFontSynth::TakenObserver observer()
    {
        return [this](const MidiBytes& message) { messages.push_back(message); };
    }
};

// An audio thread of the test's own, rendering period after period.
class AudioThread {
public:
    explicit AudioThread(SoundFontSynth& synth) :
        thread_([this, &synth] {
            std::vector<std::int16_t> buffer(2 * 256);
            while (!stop_.load()) {
                synth.render(buffer.data(), 256);
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
        })
    {
    }
    ~AudioThread()
    {
        stop_.store(true);
        thread_.join();
    }

private:
    std::atomic<bool> stop_ {false};
    std::thread thread_;
};

TEST(SoundFontSynthQueue, AThousandPressesEachFollowedAtOnceByItsReleaseReachTheSynthInOrder)
{
    Taken taken;
    SoundFontSynth synth({kSoundFont, 48000, SoundFontSettings::kDefaultGain}, taken.observer());
    ASSERT_TRUE(synth.waitUntilLoaded());
    NoPorts ports;
    MidiOutputRouter router(synth, ports, nullptr);
    Reports reports;
    router.setErrorHandler(reports.handler());
    router.open();
    std::vector<MidiBytes> expected;
    {
        AudioThread audio(synth); // takes messages while they are being sent
        for (int press = 0; press < 1000; ++press) {
            const int note = 36 + press % 60;
            router.send({0x90, note, 100});
            router.send({0x90, note, 0});
            expected.push_back({{0x90, static_cast<std::uint8_t>(note), 100}, 3});
            expected.push_back({{0x90, static_cast<std::uint8_t>(note), 0}, 3});
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (synth.queuedMessages() > 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(taken.messages, expected);
    EXPECT_EQ(reports.codes, std::vector<int> {});
}

TEST(SoundFontSynthQueue, AStalledAudioThreadMakesTheOutputReportTheLossOncePerStall)
{
    Taken taken;
    SoundFontSynth synth({kSoundFont, 48000, SoundFontSettings::kDefaultGain}, taken.observer());
    ASSERT_TRUE(synth.waitUntilLoaded());
    NoPorts ports;
    const auto logPath = std::filesystem::temp_directory_path() / "kelvane-stalled-synth.log";
    std::filesystem::remove(logPath);
    std::string problem;
    auto log = MidiLog::open(
        logPath.string(), [] { return 0.0; }, problem);
    ASSERT_TRUE(log) << problem;
    MidiOutputRouter router(synth, ports, log.get());
    Reports reports;
    router.setErrorHandler(reports.handler());
    router.open();

    // Nothing renders: the queue fills, then every message is refused.
    const std::size_t sent = SoundFontSynth::kQueueCapacity + 10;
    for (std::size_t i = 0; i < sent; ++i)
        router.send({0xB0, 7, static_cast<int>(i % 128)});
    EXPECT_EQ(reports.codes, std::vector<int> {output_error::kSynthBehind});
    EXPECT_EQ(synth.queuedMessages(), SoundFontSynth::kQueueCapacity);

    std::vector<std::int16_t> buffer(2 * 256);
    synth.render(buffer.data(), 256); // the audio thread comes back
    EXPECT_EQ(taken.messages.size(), SoundFontSynth::kQueueCapacity);
    router.send({0x90, 60, 100});
    synth.render(buffer.data(), 256);
    EXPECT_EQ(taken.messages.back(), (MidiBytes {{0x90, 60, 100}, 3}));
    EXPECT_EQ(reports.codes.size(), 1U);

    for (std::size_t i = 0; i < sent; ++i) // a second stall is told again
        router.send({0xB0, 7, 0});
    EXPECT_EQ(reports.codes, (std::vector<int> {output_error::kSynthBehind, output_error::kSynthBehind}));

    // Only what the synthesizer took is in the MIDI log.
    log.reset();
    std::ifstream in(logPath);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    EXPECT_EQ(lines, 2 * SoundFontSynth::kQueueCapacity + 1);
    std::filesystem::remove(logPath);
}

TEST(SoundFontSynthQueue, ClosingWithAFullQueueStillEndsEveryNote)
{
    SoundFontSynth synth({kSoundFont, 48000, SoundFontSettings::kDefaultGain});
    ASSERT_TRUE(synth.waitUntilLoaded());
    std::size_t queued = 0;
    while (synth.play({{0x90, static_cast<std::uint8_t>(40 + queued % 40), 110}, 3}))
        ++queued;
    EXPECT_EQ(queued, SoundFontSynth::kQueueCapacity);
    synth.allNotesOff(); // finds no room in the queue
    peakOf(synth, 96000); // the release phase fades within two seconds
    EXPECT_LT(peakOf(synth, 4800), 50);
}

} // namespace
} // namespace kelvane::midi
