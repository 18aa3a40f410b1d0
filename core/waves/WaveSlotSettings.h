#pragma once

#include <string>

namespace kelvane {

// The settings of the eight wave slots as performance files and wave banks
// read and write them (slot is 1..8). Every write acts as the user's change
// of that control would: a volume or pan reaches the slot's sound at once.
// The gate boxes belong to the switches and are not here.
class WaveSlotSettings {
public:
    virtual ~WaveSlotSettings() = default;

    virtual std::string wavePath(int slot) const = 0;
    virtual std::string waveName(int slot) const = 0; // the name box's text
    virtual int volume(int slot) const = 0;
    virtual int loop(int slot) const = 0; // 0 or 1
    virtual int pan(int slot) const = 0;
    virtual int loopCount(int slot) const = 0; // list position

    virtual void setWavePath(int slot, const std::string& path) = 0;
    virtual void setWaveName(int slot, const std::string& name) = 0;
    virtual void setVolume(int slot, int volume) = 0;
    virtual void setLoop(int slot, int loop) = 0;
    virtual void setPan(int slot, int pan) = 0;
    virtual void setLoopCount(int slot, int position) = 0;

    // After a whole setup was written: a slot whose name box holds a name shows
    // red (chosen, silent) and its file is readied for its first press; one
    // without a name shows white and forgets its path, whatever path was
    // written.
    virtual void settleChosenOrEmpty(int slot) = 0;

    // The slot's "Clr" button: stops and forgets its wave.
    virtual void clear(int slot) = 0;
};

} // namespace kelvane
