#pragma once

#include "Kelvane.h"
#include "ProgramStart.h"
#include "fakes/FakePorts.h"
#include "waves/WaveFailure.h"
#include "waves/WaveSlotSettings.h"

#include <array>
#include <initializer_list>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace kelvane::testing {

// Wave slots that only record the calls a switch makes: "slot press 3". A
// slot named in failingPresses (failingReleases) throws WaveFailure from its
// press (release) after recording it, until the slot is emptied.
class RecordingWaveSlots : public WaveSlotOperations {
public:
    explicit RecordingWaveSlots(fakes::EffectLog& log) : log_(log) { }
    void playPress(int slot) override
    {
        log_.add("slot press " + std::to_string(slot));
        if (failingPresses.count(slot) != 0)
            throw WaveFailure("cannot play slot " + std::to_string(slot));
    }
    void playRelease(int slot) override
    {
        log_.add("slot release " + std::to_string(slot));
        if (failingReleases.count(slot) != 0)
            throw WaveFailure("cannot stop slot " + std::to_string(slot));
    }
    void resetLoopCounts() override { log_.add("slot reset loop counts"); }
    void emptySlot(int slot) override
    {
        log_.add("slot empty " + std::to_string(slot));
        failingPresses.erase(slot);
    }

    std::set<int> failingPresses;
    std::set<int> failingReleases;

private:
    fakes::EffectLog& log_;
};

// Wave banks that hold data where a test says so, and record each recall: "bank recall 2".
class RecordingWaveBanks : public WaveBankRecall {
public:
    explicit RecordingWaveBanks(fakes::EffectLog& log) : log_(log) { }
    bool holdsData(int bank) const override { return filled[static_cast<std::size_t>(bank - 1)]; }
    void recall(int bank) override { log_.add("bank recall " + std::to_string(bank)); }

    std::array<bool, 4> filled {};

private:
    fakes::EffectLog& log_;
};

// Slot settings held in memory; every write is logged as
// "slot N volume V", "slot N path P", ... and clear and settle as
// "slot N clear" and "slot N chosen" / "slot N empty".
class RecordingSlotSettings : public WaveSlotSettings {
public:
    explicit RecordingSlotSettings(fakes::EffectLog& log) : log_(log) { }

    struct Slot {
        std::string path, name;
        int volume = -400, loop = 0, pan = 0, loopCount = 0;
        bool red = false;
    };

    std::string wavePath(int n) const override { return slot(n).path; }
    std::string waveName(int n) const override { return slot(n).name; }
    int volume(int n) const override { return slot(n).volume; }
    int loop(int n) const override { return slot(n).loop; }
    int pan(int n) const override { return slot(n).pan; }
    int loopCount(int n) const override { return slot(n).loopCount; }

    void setWavePath(int n, const std::string& v) override { write(n, "path", slot(n).path, v); }
    void setWaveName(int n, const std::string& v) override { write(n, "name", slot(n).name, v); }
    void setVolume(int n, int v) override { write(n, "volume", slot(n).volume, v); }
    void setLoop(int n, int v) override { write(n, "loop", slot(n).loop, v); }
    void setPan(int n, int v) override { write(n, "pan", slot(n).pan, v); }
    void setLoopCount(int n, int v) override { write(n, "loopcount", slot(n).loopCount, v); }
    void settleChosenOrEmpty(int n) override
    {
        Slot& s = slot(n);
        s.red = !s.name.empty();
        if (!s.red)
            s.path.clear();
        log_.add("slot " + std::to_string(n) + (s.red ? " chosen" : " empty"));
    }
    void clear(int n) override
    {
        slot(n).path.clear();
        slot(n).name.clear();
        slot(n).red = false;
        log_.add("slot " + std::to_string(n) + " clear");
    }

    Slot& slot(int n) { return slots_[static_cast<std::size_t>(n - 1)]; }
    const Slot& slot(int n) const { return slots_[static_cast<std::size_t>(n - 1)]; }

private:
    template <typename T> void write(int n, const char* what, T& field, const T& value)
    {
        if (field == value)
            return; // as a control: writing the value it holds runs nothing
        field = value;
        std::string shown;
        if constexpr (std::is_same_v<T, std::string>)
            shown = value;
        else
            shown = std::to_string(value);
        log_.add("slot " + std::to_string(n) + " " + what + " " + shown);
    }

    fakes::EffectLog& log_;
    std::array<Slot, 8> slots_ {};
};

// Which parts a rig records instead of running: the wave slots always; the
// banks and the slots' settings where the test asks.
struct RigOptions {
    fakes::FakeSetting setting {};
    bool realBanks = false;
    bool recordSlotSettings = false;
    FileStore* files = nullptr; // performance files elsewhere than in the fake store
};

// The program on faked ports, every port on one ordered log, with the wave
// slots (and by default the banks) recorded rather than played.
struct Rig : fakes::FakePorts {
    explicit Rig(int screenWidth = 1280, std::vector<std::string> ports = {"Port A", "Port B"}) :
        Rig(RigOptions {fakes::FakeSetting {.screenWidth = screenWidth, .midiPorts = std::move(ports)}})
    {
    }
    explicit Rig(RigOptions options) :
        fakes::FakePorts(std::move(options.setting)),
        slots(log),
        banks(log),
        slotSettings(log),
        kelvane(options.files ? ports(*options.files) : ports(),
            KelvaneDoubles {.slots = &slots,
                .banks = options.realBanks ? nullptr : &banks,
                .slotSettings = options.recordSlotSettings ? &slotSettings : nullptr}),
        setup(kelvane.midiSetup()),
        form(kelvane.mainForm())
    {
        // The user presses Ok in the setup window unless a test says otherwise.
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
    }

    // The program's start, load and first activation; the log starts empty.
    Rig& started()
    {
        startWithoutViews(kelvane);
        log.clear();
        return *this;
    }

    Switch& sw(int n) { return form.switches().at(n); }
    MainMenu& menu() { return form.menu(); }

    // True while every note and channel bar is locked.
    bool barsLocked()
    {
        for (int n = 1; n <= 8; ++n) {
            if (sw(n).note.enabled() || sw(n).channel.enabled())
                return false;
        }
        return true;
    }

    // Logs the first bar's lock ("bars on", "bars off") and each indicator's
    // change ("Shape1 lit") beside the ports' log.
    void logBarsAndIndicators()
    {
        ScrollBar& first = sw(1).note;
        first.changed().connect([this, &first] { log.add(first.enabled() ? "bars on" : "bars off"); });
        for (int n = 1; n <= 8; ++n) {
            Shape& shape = sw(n).indicator;
            shape.changed().connect([this, &shape] { log.add(shape.name() + (shape.lit() ? " lit" : " dark")); });
        }
    }

    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    RecordingSlotSettings slotSettings;
    Kelvane kelvane;
    MidiSetupForm& setup;
    MainForm& form;
};

using Log = std::vector<std::string>;

// The logs one after the other.
inline Log concat(std::initializer_list<Log> parts)
{
    Log out;
    for (const Log& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace kelvane::testing
