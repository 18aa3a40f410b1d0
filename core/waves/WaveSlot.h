#pragma once

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ColouredTextBox.h"
#include "controls/ListBox.h"
#include "controls/MouseLabel.h"
#include "controls/ScrollBar.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"

#include <cstdint>
#include <string>

namespace kelvane {

constexpr int kWaveSlotCount = 8;

// Name-box colours (0xRRGGBB): what state a slot is in.
namespace slot_colour {
constexpr std::uint32_t kEmpty = 0xFFFFFF; // white: no file chosen
constexpr std::uint32_t kChosen = 0xFF0000; // red: a file is chosen and silent
constexpr std::uint32_t kSounding = 0x00FF00; // green: sounding
} // namespace slot_colour

// Ranges and starting values of the slot settings.
constexpr int kWaveVolumeMin = -4000;
constexpr int kWaveVolumeMax = 0;
constexpr int kWaveVolumeStart = -400;
constexpr int kWavePanMin = -10000;
constexpr int kWavePanMax = 10000;
// The loop-count list: entry k means k + 2 passes, " 2" .. " 36".
constexpr int kLoopCountEntries = 35;
constexpr int kFewestPasses = 2;
// Every tick of a loop timer counts as this many milliseconds of the loop.
constexpr int kLoopTickMs = 55;
constexpr int kStatusTickMs = 500;
constexpr const char* kLengthLabelIdle = "X loop";

// The controls and state of one wave slot (number 1..8, the switch it
// belongs to). The controls are the slot's settings: files, banks and the
// preferences read and write them directly, and writing a value runs the
// slot's handling as a user's change would (the volume and pan reach the
// player at once). The gate box belongs to the switch (Switch::gate).
//
// Controls that exist once per slot share their name across the eight slots
// (HscrWavVol, chkwavloop, cmbLoopNo, ...); the numbered ones carry N.
struct WaveSlot {
    explicit WaveSlot(int number);
    WaveSlot(const WaveSlot&) = delete;
    WaveSlot& operator=(const WaveSlot&) = delete;

    // The chosen file: a full path, empty for an empty slot. Loaded afresh at
    // every play press.
    const std::string& path() const { return path_; }
    void setPath(std::string path) { path_ = std::move(path); }

    // The player's buffer number from the slot's last successful play press
    // (0 before the first). Only the slots' own operations change it.
    int buffer() const { return buffer_; }

    int number;
    Button play; // WaveplayN "Play Wave": press and release
    Button load; // WaveloadN "Load Wave"
    Button stop; // WavestopN "Stop"
    Button clear; // ClrN "Clr"
    ColouredTextBox name; // WavetextN: the file's name without its folder
    ScrollBar volume; // HscrWavVol: -4000..0, hundredths of a decibel
    Label volumeLabel; // lblWavVol "Vol"
    ScrollBar pan; // HScrWavPan: -10000 (left) .. 10000 (right)
    Label panLabel; // lblPan "Pan"
    Label gateLoopLabel; // lblGateLoop "Gate Loop", between the gate and loop boxes
    CheckBox loop; // chkwavloop
    ListBox loopCount; // cmbLoopNo: " 2" .. " 36"
    MouseLabel lengthLabel; // lblLoopNo "X loop"; the right button held shows the length
    Timer loopTimer; // TimerN+1: stops a looped sound after its passes

private:
    friend class WaveSlots;
    std::string path_;
    int buffer_ = 0;
    int loopTicks_ = 0;
    int loopDurationMs_ = 0;
};

} // namespace kelvane
