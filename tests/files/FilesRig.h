#pragma once

#include "../core/Rig.h"
#include "fakes/FakeFileStore.h"
#include "files/PerformanceFileCommands.h"
#include "files/SetupControls.h"
#include "files/WholeSetupCommands.h"
#include "waves/WaveBanks.h"
#include "waves/WaveSlotSettings.h"

#include <array>

namespace kelvane::testing {

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

// The main window started as at every program start, with its performance
// file commands and wave banks attached; files live in memory.
struct FilesRig {
    FilesRig() :
        slots(rig.log),
        files(rig.log),
        whole(rig.form, slots, banks, PerformanceFilePorts {rig.midi, rig.dialogs, files}),
        setup(whole.controls()),
        commands(whole.files())
    {
        rig.started();
    }

    Switch& sw(int n) { return rig.sw(n); }
    MainMenu& menu() { return rig.menu(); }
    fakes::EffectLog& log() { return rig.log; }

    Rig rig;
    RecordingSlotSettings slots;
    fakes::FakeFileStore files;
    WaveBanks banks;
    WholeSetupCommands whole;
    SetupControls& setup;
    PerformanceFileCommands& commands;
};

} // namespace kelvane::testing
