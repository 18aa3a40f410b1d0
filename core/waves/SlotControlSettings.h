#pragma once

#include "waves/WaveSlotSettings.h"
#include "waves/WaveSlots.h"

namespace kelvane {

// The wave-slot settings as the slots' own controls hold them: writing a
// volume or pan runs the bar's change handling, which reaches the slot's
// current sound at once.
class SlotControlSettings : public WaveSlotSettings {
public:
    explicit SlotControlSettings(WaveSlots& slots) : slots_(slots) { }

    std::string wavePath(int n) const override { return slots_.slot(n).path(); }
    std::string waveName(int n) const override { return slots_.slot(n).name.text(); }
    int volume(int n) const override { return slots_.slot(n).volume.value(); }
    int loop(int n) const override { return slots_.slot(n).loop.value(); }
    int pan(int n) const override { return slots_.slot(n).pan.value(); }
    int loopCount(int n) const override { return slots_.slot(n).loopCount.listIndex(); }

    void setWavePath(int n, const std::string& path) override { slots_.slot(n).setPath(path); }
    void setWaveName(int n, const std::string& name) override { slots_.slot(n).name.setText(name); }
    void setVolume(int n, int volume) override { slots_.slot(n).volume.setValue(volume); }
    void setLoop(int n, int loop) override { slots_.slot(n).loop.setValue(loop); }
    void setPan(int n, int pan) override { slots_.slot(n).pan.setValue(pan); }
    void setLoopCount(int n, int position) override { slots_.slot(n).loopCount.setListIndex(position); }

    void settleChosenOrEmpty(int n) override
    {
        WaveSlot& s = slots_.slot(n);
        if (s.name.text().empty()) {
            s.name.setBackColour(slot_colour::kEmpty);
            s.setPath({});
        } else {
            s.name.setBackColour(slot_colour::kChosen);
            slots_.prepareWave(n);
        }
    }

    void clear(int n) override { slots_.clear(n); }

private:
    WaveSlots& slots_;
};

} // namespace kelvane
