#pragma once

// The program's press path as main() builds it: the program (Kelvane) with
// every window's real (Qt) view, the real desktop adapters but for message
// boxes (kept in memory: nobody would answer one), the MIDI output router
// over the built-in synthesizer (FluidSynth on the SDL output), the wave
// slots on the real wave player (mixed into the same output), with slide
// control and the preferences, and the ALSA sequencer's ports. The only
// additions are pass-through wrappers that note the moment a hand-off
// returns (the message queued for the audio thread or written to the
// sequencer, a wave's start handed to the mixer) and one that keeps the MIDI
// output's reports. The ports no press reaches (MIDI input and its settings,
// the preferences file, performance files, keystrokes) are in memory.

#include "BenchStats.h"
#include "HelpViewer.h"
#include "Kelvane.h"
#include "KelvaneViews.h"
#include "ReportRecordingOutput.h"
#include "audio/AudioOutput.h"
#include "audio/MixerWavePlayer.h"
#include "desktop/ModalViews.h"
#include "desktop/QtEnvironment.h"
#include "desktop/QtPause.h"
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeFileStore.h"
#include "fakes/FakeMidiInput.h"
#include "fakes/FakePreferencesStore.h"
#include "fakes/FakeSettingsStore.h"
#include "midi/MidiLog.h"
#include "midi/MidiOutputRouter.h"
#include "midi/RtMidiOutputPorts.h"
#include "midi/SoundFontSynth.h"
#include "midi/SystemMidi.h"
#include "null/NullJoystickControl.h"
#include "null/NullKeystrokes.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kelvane::bench {

// The real synthesizer, noting when each message has been queued.
class StampingSynth final : public midi::MidiSynth {
public:
    explicit StampingSynth(midi::MidiSynth& inner) : inner_(inner) { }
    bool play(const midi::MidiBytes& message) override
    {
        const bool taken = inner_.play(message);
        queued.note();
        return taken;
    }
    void allNotesOff() override { inner_.allNotesOff(); }
    std::string silenceReason() const override { return inner_.silenceReason(); }

    Arrivals queued;

private:
    midi::MidiSynth& inner_;
};

// The real sequencer ports, noting when each message has been written.
class StampingPorts final : public midi::MidiPorts {
public:
    explicit StampingPorts(midi::MidiPorts& inner) : inner_(inner) { }
    std::vector<std::string> names() const override { return inner_.names(); }
    bool open(const std::string& name, std::string& problem) override { return inner_.open(name, problem); }
    void close() override { inner_.close(); }
    bool transmit(const midi::MidiBytes& message, std::string& problem) override
    {
        const bool sent = inner_.transmit(message, problem);
        sentAt = Clock::now();
        ++sentCount;
        return sent;
    }

    Clock::time_point sentAt {};
    long long sentCount = 0;

private:
    midi::MidiPorts& inner_;
};

// The real wave player, noting when each start has been handed to the mixer.
class StampingWavePlayer final : public WavePlayer {
public:
    explicit StampingWavePlayer(WavePlayer& inner) : inner_(inner) { }
    void prepareWaveFile(const std::string& path) override { inner_.prepareWaveFile(path); }
    int loadWaveFile(const std::string& path) override { return inner_.loadWaveFile(path); }
    void releaseBuffer(int buffer) override { inner_.releaseBuffer(buffer); }
    void playBuffer(int buffer) override
    {
        inner_.playBuffer(buffer);
        started.note();
    }
    void playLooping(int buffer) override
    {
        inner_.playLooping(buffer);
        started.note();
    }
    void stopBuffer(int buffer) override { inner_.stopBuffer(buffer); }
    void stopAllBuffers() override { inner_.stopAllBuffers(); }
    int bufferLength(int buffer) const override { return inner_.bufferLength(buffer); }
    bool isBufferPlaying(int buffer) const override { return inner_.isBufferPlaying(buffer); }
    void setBufferVolume(int buffer, int volume) override { inner_.setBufferVolume(buffer, volume); }
    void setBufferPan(int buffer, int pan) override { inner_.setBufferPan(buffer, pan); }

    Arrivals started;

private:
    WavePlayer& inner_;
};

struct PressRigOptions {
    // The output device chosen in MIDI Setup: -1 the built-in synthesizer.
    int device = midi::MidiOutputRouter::kMapper;
    // Empty for no --midi-log.
    std::string midiLog;
    // The sound device as main() opens it by default.
    audio::AudioSettings audio {};
};

// Runs `work` on a thread of its own while this thread runs the Qt event
// loop, until the work ends; what the work throws is thrown here.
inline void runBesideTheEventLoop(const std::function<void()>& work)
{
    std::string failure;
    std::thread worker([&] {
        try {
            work();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    worker.join();
    if (!failure.empty())
        throw std::runtime_error(failure);
}

// Needs a QApplication. Throws std::runtime_error when a part cannot start.
class PressRig {
public:
    explicit PressRig(const PressRigOptions& options) :
        soundOutput(openAudio(options.audio)),
        soundFont(loadSoundFont(*soundOutput)),
        hook(soundOutput->attach(*soundFont)),
        waves(*soundOutput)
    {
        std::string problem;
        if (!options.midiLog.empty()) {
            log = midi::MidiLog::open(options.midiLog, midi::MidiLog::startingNow(), problem);
            if (!log)
                throw std::runtime_error(problem);
        }
        router = std::make_unique<midi::MidiOutputRouter>(synth, ports, log.get());
        output = std::make_unique<ReportRecordingOutput>(*router);
        kelvane = std::make_unique<Kelvane>(KelvanePorts {*output, midiInput, stampedWaves, stavik1, stavik2, dialogs,
            pause, environment, keystrokes, preferencesStore, midiInputStore, files});
        windows = std::make_unique<views::KelvaneViews>(*kelvane, modals, help);
        view = &windows->mainWindow();
        start(options.device);
    }

    ~PressRig() { windows.reset(); }

    // What the MIDI output reported during the run, informational reports left out.
    const std::vector<std::string>& reports() const { return output->reports; }

    // Waits (on the event loop) until the audio thread has taken every queued message.
    void waitForAudioThread() const
    {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (soundFont->queuedMessages() > 0 && Clock::now() < deadline) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    views::ModalViews modals;
    views::HelpViewer help;
    // A message box would stop the run with nobody to answer it: messages are
    // kept in memory instead, and the MIDI output's reports printed.
    fakes::EffectLog messages;
    fakes::FakeDialogs dialogs {messages};
    views::QtEnvironment environment {modals, help, dialogs, ""};
    views::QtPause pause;

    std::unique_ptr<audio::AudioOutput> soundOutput;
    std::unique_ptr<midi::SoundFontSynth> soundFont;
    audio::AudioOutput::Attachment hook;
    midi::RtMidiOutputPorts alsa {midi::MidiApi::AlsaSequencer, midi::SystemMidi::kClientName};
    StampingSynth synth {*soundFont};
    StampingPorts ports {alsa};
    std::unique_ptr<midi::MidiLog> log;
    std::unique_ptr<midi::MidiOutputRouter> router;
    std::unique_ptr<ReportRecordingOutput> output;

    audio::MixerWavePlayer waves;
    StampingWavePlayer stampedWaves {waves};
    NullJoystickControl stavik1;
    NullJoystickControl stavik2;
    fakes::EffectLog memoryLog; // what the in-memory ports were asked; nobody reads it
    fakes::FakeMidiInput midiInput {memoryLog};
    fakes::FakeSettingsStore midiInputStore {memoryLog};
    fakes::FakePreferencesStore preferencesStore {memoryLog};
    fakes::FakeFileStore files {memoryLog};
    NullKeystrokes keystrokes;
    std::unique_ptr<Kelvane> kelvane;
    std::unique_ptr<views::KelvaneViews> windows;
    views::MainWindowView* view = nullptr;

private:
    static std::unique_ptr<audio::AudioOutput> openAudio(const audio::AudioSettings& settings)
    {
        std::string problem;
        auto output = audio::AudioOutput::open(settings, problem);
        if (!output)
            throw std::runtime_error("no audio output: " + problem);
        return output;
    }

    static std::unique_ptr<midi::SoundFontSynth> loadSoundFont(const audio::AudioOutput& output)
    {
        midi::SoundFontSettings settings;
        settings.path = midi::chooseSoundFont({}, [](const std::string& path) {
            std::error_code ignored;
            return std::filesystem::exists(path, ignored);
        });
        settings.sampleRate = output.sampleRate();
        auto synth = std::make_unique<midi::SoundFontSynth>(settings);
        if (!synth->waitUntilLoaded())
            throw std::runtime_error("the soundfont did not load: " + synth->silenceReason());
        return synth;
    }

    // Starts the program as main() does (the preferences are read before the
    // window loads), shows the window and answers MIDI Setup with the chosen
    // device, as a user would.
    void start(int device)
    {
        MidiSetupForm& setup = kelvane->midiSetup();
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [this, &setup, device, &answer] {
            if (!windows->midiSetup().isVisible())
                return;
            setup.comboMidiOut.setListIndex(device + 1);
            setup.okButton.click();
            answer.stop();
        });
        answer.start();
        kelvane->start();
        view->loadAndShow();
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        MainForm& form = kelvane->mainForm();
        while (form.flags().startupDone != 1 && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (form.flags().startupDone != 1)
            throw std::runtime_error("the main window did not start");
        waitForAudioThread();
    }
};

} // namespace kelvane::bench
