#pragma once

#include "Kelvane.h"
#include "ProgramStart.h"
#include "fakes/FakePorts.h"
#include "slides/SlideStep.h"

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

// The program with its real wave slots on faked ports, all on one log; a
// slot's slide step is recorded ("slide 3") rather than sent.
struct SlotRig : fakes::FakePorts {
    // started: the window's load and first activation have run, and the log is empty.
    explicit SlotRig(bool started = true, int screenWidth = 1280, int screenHeight = 800) :
        fakes::FakePorts(fakes::FakeSetting {screenWidth, screenHeight, {"Port A"}, {}}),
        slideStep(log),
        kelvane(ports(), KelvaneDoubles {.slideStep = &slideStep}),
        slots(kelvane.slots()),
        setup(kelvane.midiSetup()),
        form(kelvane.mainForm())
    {
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
        if (started) {
            startWithoutViews(kelvane);
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

    RecordingSlideStep slideStep;
    Kelvane kelvane;
    WaveSlots& slots;
    MidiSetupForm& setup;
    MainForm& form;
    SampleFolder folder;
};

} // namespace kelvane::testing
