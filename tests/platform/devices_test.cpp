// The real adapters on this machine: FluidSynth with the Debian soundfont,
// SDL's dummy audio driver, and RtMidi with whatever sequencer there is.
#include "audio/AudioOutput.h"
#include "audio/AudioSource.h"
#include "midi/AlsaMidiPorts.h"
#include "midi/SoundFontSynth.h"
#include "midi/SystemMidi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
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
    synth.play(kNoteOn);
    EXPECT_TRUE(listener.waitForSound());
    hook = {};
    const int afterDetach = listener.buffers();
    output.reset(); // closing waits for the audio thread
    EXPECT_EQ(listener.buffers(), afterDetach);
}

TEST(AlsaMidiPorts, WithoutASequencerThereAreNoPortsAndNothingThrows)
{
    if (std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    AlsaMidiPorts ports(SystemMidi::kClientName);
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

} // namespace
} // namespace kelvane::midi
