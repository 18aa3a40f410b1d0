#pragma once

// The program's press path as main() builds it: the main window's form with
// its real (Qt) view, the real desktop adapters, the MIDI output router over
// the built-in synthesizer (FluidSynth on the SDL output) and the ALSA
// sequencer's ports. The only additions are two pass-through wrappers that
// note the moment the router's hand-off returns: the message queued for the
// audio thread, or written to the sequencer.

#include "BenchStats.h"
#include "HelpViewer.h"
#include "MainForm.h"
#include "MainWindowView.h"
#include "MidiSetupDialog.h"
#include "ModalViews.h"
#include "audio/AudioOutput.h"
#include "desktop/QtDialogs.h"
#include "desktop/QtEnvironment.h"
#include "desktop/QtPause.h"
#include "files/MidiSetupForm.h"
#include "midi/MidiLog.h"
#include "midi/MidiOutputRouter.h"
#include "midi/RtMidiOutputPorts.h"
#include "midi/SoundFontSynth.h"
#include "midi/SystemMidi.h"
#include "null/NullJoystickControl.h"
#include "null/NullWavePlayer.h"
#include "slides/SlideStep.h"
#include "waves/WaveBankRecall.h"
#include "waves/WaveSlots.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
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
        queuedAt.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        queued.fetch_add(1, std::memory_order_release);
        return taken;
    }
    void allNotesOff() override { inner_.allNotesOff(); }
    std::string silenceReason() const override { return inner_.silenceReason(); }

    Clock::time_point lastQueuedAt() const
    {
        return Clock::time_point(Clock::duration(queuedAt.load(std::memory_order_relaxed)));
    }

    // Read by another thread in the X benchmark: count last, stamp first.
    std::atomic<Clock::rep> queuedAt {0};
    std::atomic<long long> queued {0};

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

struct PressRigOptions {
    // The output device chosen in MIDI Setup: -1 the built-in synthesizer.
    int device = midi::MidiOutputRouter::kMapper;
    // Empty for no --midi-log.
    std::string midiLog;
};

// Needs a QApplication. Throws std::runtime_error when a part cannot start.
class PressRig {
public:
    explicit PressRig(const PressRigOptions& options) :
        soundOutput(openAudio()), soundFont(loadSoundFont(*soundOutput)), hook(soundOutput->attachMusic(*soundFont))
    {
        std::string problem;
        if (!options.midiLog.empty()) {
            log = midi::MidiLog::open(options.midiLog, midi::MidiLog::startingNow(), problem);
            if (!log)
                throw std::runtime_error(problem);
        }
        router = std::make_unique<midi::MidiOutputRouter>(synth, ports, log.get());
        router->setErrorHandler([this](int code, const std::string& text) {
            if (code != midi_error::kNone && code != midi_error::kInformation)
                reports.push_back(text);
        });

        setup = std::make_unique<MidiSetupForm>(*router, environment);
        form = std::make_unique<MainForm>(
            MainFormPorts {*router, waves, stavik1, stavik2, dialogs, pause, environment}, *setup, slots, banks);
        slots.attach(form->switches(), form->menu().item("mnuExclusive"));
        setupView = std::make_unique<views::MidiSetupDialog>(*setup);
        modals.add(*setup, *setupView);
        view = std::make_unique<views::MainWindowView>(*form);
        view->addWaveSlots(slots);
        start(options.device);
    }

    ~PressRig()
    {
        view.reset();
        modals.remove(*setup);
    }

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
    views::QtDialogs dialogs;
    views::QtEnvironment environment {modals, help, dialogs, ""};
    views::QtPause pause;

    std::unique_ptr<audio::AudioOutput> soundOutput;
    std::unique_ptr<midi::SoundFontSynth> soundFont;
    audio::AudioOutput::MusicHook hook;
    midi::RtMidiOutputPorts alsa {midi::MidiApi::AlsaSequencer, midi::SystemMidi::kClientName};
    StampingSynth synth {*soundFont};
    StampingPorts ports {alsa};
    std::unique_ptr<midi::MidiLog> log;
    std::unique_ptr<midi::MidiOutputRouter> router;
    std::vector<std::string> reports;

    NullWavePlayer waves;
    NullJoystickControl stavik1;
    NullJoystickControl stavik2;
    NoSlideStep slideStep;
    WaveSlots slots {waves, dialogs, slideStep};
    EmptyWaveBanks banks;
    std::unique_ptr<MidiSetupForm> setup;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<views::MidiSetupDialog> setupView;
    std::unique_ptr<views::MainWindowView> view;

private:
    static std::unique_ptr<audio::AudioOutput> openAudio()
    {
        std::string problem;
        auto output = audio::AudioOutput::open({}, problem);
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

    // Shows the window as at a program start and answers MIDI Setup with the
    // chosen device, as a user would.
    void start(int device)
    {
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [this, device, &answer] {
            if (!setupView->isVisible())
                return;
            setup->comboMidiOut.setListIndex(device + 1);
            setup->okButton.click();
            answer.stop();
        });
        answer.start();
        view->loadAndShow();
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (form->flags().startupDone != 1 && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (form->flags().startupDone != 1)
            throw std::runtime_error("the main window did not start");
        waitForAudioThread();
    }
};

} // namespace kelvane::bench
