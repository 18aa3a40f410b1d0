// The real adapters on this machine: FluidSynth with the Debian soundfont,
// SDL's dummy audio driver, and RtMidi with whatever sequencer there is.
#include "AudioClock.h"
#include "audio/AudioOutput.h"
#include "audio/AudioSource.h"
#include "fakes/NoMidiPorts.h"
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
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace kelvane::midi {
namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr MidiBytes kNoteOn {{0x90, 60, 110}, 3};

int peakOf(SoundFontSynth& synth, int frames)
{
    std::vector<std::int16_t> buffer(2 * static_cast<std::size_t>(frames));
    synth.render(buffer.data(), audio::testing::periodFromNow(frames));
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

// The synth on a clock of the test's own: each message is handed over and
// the period rendered so that the message falls on a chosen frame.
class TimedSynth {
public:
    static constexpr int kFrames = 256;
    static constexpr int kRate = 48000;

    TimedSynth() : synth_({kSoundFont, kRate, SoundFontSettings::kDefaultGain}) { }
    bool loaded() { return synth_.waitUntilLoaded(); }
    SoundFontSynth& synth() { return synth_; }

    // Plays `message` and renders the period in which it falls on `frame`;
    // the period's samples.
    std::vector<std::int16_t> playAt(const MidiBytes& message, int frame)
    {
        std::vector<std::int16_t> mix(2 * kFrames);
        const audio::Stamp before = audio::stampNow();
        EXPECT_TRUE(synth_.play(message));
        // Nearly always well under half a frame; a test thread preempted
        // right there makes the frame uncertain by the time it lost.
        uncertainty_ = static_cast<int>((audio::stampNow() - before) / audio::testing::kHalfFrameNs / 2);
        synth_.render(mix.data(), audio::testing::periodPlacing(before, frame, kFrames, kRate));
        return mix;
    }
    // Frames by which the last playAt may have missed its frame (early).
    int uncertainty() const { return uncertainty_; }
    std::vector<std::int16_t> next()
    {
        std::vector<std::int16_t> mix(2 * kFrames);
        synth_.render(mix.data(), audio::testing::periodFromNow(kFrames));
        return mix;
    }
    // Renders until FluidSynth has stood still for a second of periods.
    bool settle()
    {
        for (int i = 0; i < 2000; ++i) {
            const std::uint64_t before = synth_.synthesizedFrames();
            for (int quiet = 0; quiet < 20; ++quiet)
                next();
            if (synth_.synthesizedFrames() == before)
                return true;
        }
        return false;
    }

private:
    SoundFontSynth synth_;
    int uncertainty_ = 0;
};

// The first frame at or after `from` whose sample on `side` (0 left, 1 right) is not silent; -1 if none.
int firstSounding(const std::vector<std::int16_t>& mix, int side, int from = 0)
{
    for (std::size_t frame = static_cast<std::size_t>(from); 2 * frame < mix.size(); ++frame)
        if (mix[2 * frame + static_cast<std::size_t>(side)] != 0)
            return static_cast<int>(frame);
    return -1;
}

TEST(SoundFontSynthTiming, FromSilenceANoteStartsOnePeriodAfterItsHandOverToTheFrame)
{
    TimedSynth timed;
    ASSERT_TRUE(timed.loaded());
    // The first note after the load fades in more slowly than every later one.
    timed.playAt({{0x90, 60, 120}, 3}, 0);
    timed.synth().allNotesOff();
    ASSERT_TRUE(timed.settle());
    // Where a note handed over at the period's own moment sounds: FluidSynth's
    // attack begins at zero, so a few frames after the frame itself.
    int attack = -1;
    for (int frame : {0, 1, 37, 64, 100, 191, 200}) {
        const std::vector<std::int16_t> mix = timed.playAt({{0x90, 60, 120}, 3}, frame);
        const int sounding = firstSounding(mix, 0);
        ASSERT_GE(sounding, frame) << "a note handed over for frame " << frame;
        if (attack < 0)
            attack = sounding - frame;
        EXPECT_NEAR(sounding - frame, attack, timed.uncertainty()) << "a note handed over for frame " << frame;
        ASSERT_TRUE(timed.synth().play({{0x90, 60, 0}, 3}));
        timed.synth().allNotesOff();
        ASSERT_TRUE(timed.settle());
    }
    EXPECT_LT(attack, 16);
}

TEST(SoundFontSynthTiming, WhileAnotherNoteSoundsANoteStartsAtTheBlockNearestItsFrame)
{
    // Two synthesizers fed alike, but only `with` gets the second note: the
    // difference of their outputs is that note alone. No reverberation or
    // chorus (whose state runs on with every frame), so that once the note
    // has died away the two are alike to the bit again.
    TimedSynth with;
    TimedSynth without;
    TimedSynth probe;
    constexpr MidiBytes kNote {{0x91, 64, 120}, 3};
    constexpr MidiBytes kNoteOff {{0x91, 64, 0}, 3};
    constexpr MidiBytes kNothing {{0x91, 100, 0}, 3}; // ends a note that does not sound
    constexpr MidiBytes kSilence {{0xB1, 120, 0}, 3}; // all sound off: ends the note without its release
    constexpr MidiBytes kDry[] = {{{0xB0, 91, 0}, 3}, {{0xB0, 93, 0}, 3}, {{0xB1, 91, 0}, 3}, {{0xB1, 93, 0}, 3}};
    for (TimedSynth* timed : {&with, &without, &probe}) {
        ASSERT_TRUE(timed->loaded());
        for (const MidiBytes& dry : kDry)
            ASSERT_TRUE(timed->synth().play(dry));
    }
    // Where the note sounds when a block begins at its frame (the first note
    // after the load fades in more slowly than every later one).
    probe.playAt(kNote, 0);
    ASSERT_TRUE(probe.synth().play(kNoteOff));
    ASSERT_TRUE(probe.settle());
    const int attack = firstSounding(probe.playAt(kNote, 0), 0);
    ASSERT_GE(attack, 0);

    for (TimedSynth* timed : {&with, &without}) {
        ASSERT_TRUE(timed->synth().play({{0xC0, 16}, 2})); // an organ holds its note as long as it is held
        // From here on FluidSynth's blocks begin at frames 5, 69, 133 and 197 of every 256-frame period.
        timed->playAt({{0x90, 48, 100}, 3}, 5);
    }
    auto firstDifference = [](const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return static_cast<int>(i / 2);
        return -1;
    };
    for (int frame : {10, 36, 37, 40, 69, 100, 130, 228}) {
        const std::vector<std::int16_t> heard = with.playAt(kNote, frame);
        const std::vector<std::int16_t> reference = without.playAt(kNothing, frame);
        ASSERT_GT(firstSounding(reference, 0), -1) << "the organ has stopped";
        // The note adds nothing before its block begins, and its first
        // frames, too faint to sound alone, may already change the rounding
        // of the organ's samples: it shows between the two.
        const int blockStart = 5 + 64 * ((frame - 5 + 32) / 64);
        const int differs = firstDifference(heard, reference);
        EXPECT_GE(differs, blockStart - with.uncertainty()) << "a note handed over for frame " << frame;
        EXPECT_LE(differs, blockStart + attack + 2) << "a note handed over for frame " << frame;
        ASSERT_TRUE(with.synth().play(kSilence));
        ASSERT_TRUE(without.synth().play(kSilence));
        // Some instruments send to the reverberation whatever the channel's
        // send says: wait until its tail is far below a sample step.
        int alike = 0;
        for (int period = 0; period < 2000 && alike < 8; ++period)
            alike = firstDifference(with.next(), without.next()) < 0 ? alike + 1 : 0;
        ASSERT_EQ(alike, 8) << "the second note did not end";
    }
}

TEST(SoundFontSynthTiming, AnIdleSynthesizerDoesNotRunFluidSynthUntilANoteComes)
{
    TimedSynth timed;
    ASSERT_TRUE(timed.loaded());
    const std::uint64_t atStart = timed.synth().synthesizedFrames();
    for (int i = 0; i < 50; ++i)
        timed.next();
    EXPECT_EQ(timed.synth().synthesizedFrames(), atStart);
    // A program change alone sounds nothing: still idle.
    ASSERT_TRUE(timed.synth().play({{0xC0, 24}, 2}));
    timed.next();
    EXPECT_EQ(timed.synth().synthesizedFrames(), atStart);

    timed.playAt({{0x90, 60, 100}, 3}, 0);
    timed.next();
    EXPECT_GT(timed.synth().synthesizedFrames(), atStart);
    ASSERT_TRUE(timed.synth().play({{0x90, 60, 0}, 3}));
    // Once the note and its reverberation have died away, FluidSynth rests again.
    EXPECT_TRUE(timed.settle());
    EXPECT_EQ(firstSounding(timed.next(), 0), -1);
}

// Listens to the output after the synth and wakes the test once a period carries sound.
class Listener : public audio::AudioSource {
public:
    void render(std::int16_t* mix, const audio::AudioPeriod& period) noexcept override
    {
        bool loud = false;
        for (int i = 0; i < 2 * period.frames; ++i)
            loud = loud || mix[i] != 0;
        std::lock_guard lock(mutex_);
        ++buffers_;
        heard_ = heard_ || loud;
        wake_.notify_all();
    }
    bool idle() const noexcept override { return true; }
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
    std::mutex mutex_;
    std::condition_variable wake_;
    int buffers_ = 0;
    bool heard_ = false;
};

TEST(AudioOutput, TheSynthSoundsThroughTheDeviceAfterANoteOn)
{
    std::string problem;
    auto output = audio::AudioOutput::open({48000, 256, {}}, problem);
    ASSERT_TRUE(output) << problem;
    EXPECT_EQ(output->sampleRate(), 48000);
    SoundFontSynth synth({kSoundFont, output->sampleRate(), SoundFontSettings::kDefaultGain});
    ASSERT_TRUE(synth.waitUntilLoaded());
    auto hook = output->attach(synth);
    Listener listener;
    auto listening = output->attach(listener);
    ASSERT_TRUE(synth.play(kNoteOn));
    EXPECT_TRUE(listener.waitForSound());
    // The period it really runs with is known once a period has run.
    EXPECT_GT(output->obtainedPeriodFrames(), 0);
    EXPECT_NE(output->describePeriod().find(std::to_string(output->obtainedPeriodFrames()) + " frames per period"),
        std::string::npos)
        << output->describePeriod();
    listening = {};
    hook = {};
    const int afterDetach = listener.buffers();
    output.reset(); // closing waits for the audio thread
    EXPECT_EQ(listener.buffers(), afterDetach);
}

TEST(AudioOutput, AnIdleOutputRestsUntilANoteIsHandedOverAndThenSoundsIt)
{
    std::string problem;
    auto output = audio::AudioOutput::open({48000, 256, {}}, problem);
    ASSERT_TRUE(output) << problem;
    SoundFontSynth synth({kSoundFont, output->sampleRate(), SoundFontSettings::kDefaultGain});
    ASSERT_TRUE(synth.waitUntilLoaded());
    auto hook = output->attach(synth);
    Listener listener;
    auto listening = output->attach(listener); // (attaching wakes an output that rested while the font loaded)
    const std::uint64_t before = output->rests();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (output->rests() == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GT(output->rests(), before) << "the silent output never rested";
    // Resting: no period runs, however long nothing is played.
    const int rested = listener.buffers();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(listener.buffers(), rested);

    ASSERT_TRUE(synth.play(kNoteOn));
    EXPECT_TRUE(listener.waitForSound());
    EXPECT_GT(listener.buffers(), rested);
    listening = {};
    hook = {};
}

// The nice value of this process's thread whose name begins with `name`,
// once there is one; nullopt when none appears within two seconds.
std::optional<int> niceOfThread(const std::string& name)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    do {
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            std::ifstream comm(task.path() / "comm");
            std::string taskName;
            std::getline(comm, taskName);
            if (taskName.rfind(name, 0) != 0)
                continue;
            // The name in parentheses may hold spaces: the fields count from its end.
            std::ifstream statFile(task.path() / "stat");
            std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
            std::istringstream fields(stat.substr(stat.rfind(')') + 2));
            std::string field;
            for (int i = 3; i < 19 && fields >> field; ++i) { } // state (3) .. priority (18)
            int nice = 0;
            if (fields >> nice)
                return nice;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

// A wake from rest passes from the resting thread to the audio thread: the
// one must not wait for a CPU longer than the other.
TEST(AudioOutput, TheThreadThatRestsTheOutputRunsAtTheAudioThreadsPriority)
{
    std::string problem;
    auto output = audio::AudioOutput::open({48000, 256, {}}, problem);
    ASSERT_TRUE(output) << problem;
    Listener listener;
    auto listening = output->attach(listener);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (listener.buffers() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(listener.buffers(), 2) << "no period ran";
    const std::optional<int> audio = niceOfThread("SDLAudio"); // SDL's own name, with the device's number
    const std::optional<int> rest = niceOfThread("audio rest");
    ASSERT_TRUE(audio && rest);
    EXPECT_EQ(*rest, *audio);
    listening = {};
}

TEST(AudioOutput, TheDriverAskedForWinsOverTheEnvironmentForThatOutputOnly)
{
    const auto device = std::filesystem::temp_directory_path() / "kelvane-driver-test.raw";
    setenv("SDL_DISKAUDIOFILE", device.c_str(), 1);
    std::string problem;
    {
        auto disk = audio::AudioOutput::open({48000, 256, "disk"}, problem);
        ASSERT_TRUE(disk) << problem;
        EXPECT_EQ(disk->driver(), "disk");
    }
    auto usual = audio::AudioOutput::open({48000, 256, {}}, problem);
    ASSERT_TRUE(usual) << problem;
    EXPECT_EQ(usual->driver(), std::getenv("SDL_AUDIODRIVER"));
    usual.reset();
    EXPECT_FALSE(audio::AudioOutput::open({48000, 256, "no-such-driver"}, problem));
    EXPECT_NE(problem.find("no audio output"), std::string::npos) << problem;
    std::filesystem::remove(device);
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
        SystemMidi midi({"/no/such/font.sf2", logPath.string(), 256, {}});
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
                synth.render(buffer.data(), {audio::stampNow(), 256, 48000});
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
    fakes::NoMidiPorts ports;
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
    fakes::NoMidiPorts ports;
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
    synth.render(buffer.data(), audio::testing::periodFromNow(256)); // the audio thread comes back
    EXPECT_EQ(taken.messages.size(), SoundFontSynth::kQueueCapacity);
    router.send({0x90, 60, 100});
    synth.render(buffer.data(), audio::testing::periodFromNow(256));
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
