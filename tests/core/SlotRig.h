#pragma once

#include "MainForm.h"
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMidiOutput.h"
#include "fakes/FakeWavePlayer.h"
#include "files/MidiSetupForm.h"
#include "slides/SlideStep.h"
#include "waves/WaveBankRecall.h"
#include "waves/WaveSlots.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvane::testing {

// The slide step as the log sees it: "slide 3".
class RecordingSlideStep : public SlideStep {
public:
    explicit RecordingSlideStep(fakes::EffectLog& log) : log_(log) { }
    void send(int n) override { log_.add("slide " + std::to_string(n)); }

private:
    fakes::EffectLog& log_;
};

// A folder of small files that lives as long as the test.
class SampleFolder {
public:
    SampleFolder() : path_(std::filesystem::temp_directory_path() / ("kelvane-slots-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
    }
    ~SampleFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name, const std::string& bytes = "RIFF")
    {
        const auto full = path_ / name;
        std::ofstream(full, std::ios::binary) << bytes;
        return full.string();
    }
    std::string missing(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The main window with the real wave slots on faked ports, all on one log.
struct SlotRig {
    // started: the window's load and first activation have run, and the log is empty.
    explicit SlotRig(bool started = true, int screenWidth = 1280, int screenHeight = 800) :
        midi(log, {"Port A"}),
        waves(log),
        stavik1(log, "Stavik1"),
        stavik2(log, "Stavik2"),
        dialogs(log),
        pause(log),
        environment(log, screenWidth, screenHeight),
        slideStep(log),
        slots(waves, dialogs, slideStep),
        setup(midi, environment),
        form(MainFormPorts {midi, waves, stavik1, stavik2, dialogs, pause, environment}, setup, slots, banks)
    {
        slots.attach(form.switches(), form.menu().exclusiveWaves());
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
        if (started) {
            form.load();
            form.activate();
            log.clear();
        }
    }

    WaveSlot& slot(int n) { return slots.slot(n); }
    Switch& sw(int n) { return form.switches().at(n); }

    // The user chooses `path` in slot n's Load dialog; the log starts empty.
    void loadInto(int n, const std::string& path)
    {
        dialogs.files.push_back(path);
        slot(n).load.click();
        log.clear();
    }
    void press(int n) { slot(n).play.mouseDown(MouseButton::Left); }
    void release(int n) { slot(n).play.mouseUp(MouseButton::Left); }

    fakes::EffectLog log;
    fakes::FakeMidiOutput midi;
    fakes::FakeWavePlayer waves;
    fakes::FakeJoystickControl stavik1;
    fakes::FakeJoystickControl stavik2;
    fakes::FakeDialogs dialogs;
    fakes::FakePause pause;
    fakes::FakeEnvironment environment;
    RecordingSlideStep slideStep;
    WaveSlots slots;
    EmptyWaveBanks banks;
    MidiSetupForm setup;
    MainForm form;
    SampleFolder folder;
};

} // namespace kelvane::testing
