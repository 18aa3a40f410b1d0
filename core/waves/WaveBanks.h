#pragma once

#include "controls/TextBox.h"
#include "controls/Window.h"
#include "files/PerformanceSetup.h"
#include "files/SetupControls.h"
#include "waves/WaveBankRecall.h"

#include <array>
#include <optional>

namespace kelvane {

class MainMenu;

constexpr int kWaveBankCount = 4;

// The four wave banks F1..F4: snapshots of the whole setup, held in memory
// for as long as the program runs (files never hold them). "Add" in a bank's
// menu stores the setup and labels the bank "F1   " followed by the window's
// caption; the function key recalls it, putting the label on the window.
// Storing and recalling touch no sound: what plays goes on playing.
class WaveBanks : public WaveBankRecall {
public:
    // Built before the main window (whose keys recall the banks), then
    // attached to it once.
    WaveBanks() = default;
    WaveBanks(const WaveBanks&) = delete;
    WaveBanks& operator=(const WaveBanks&) = delete;

    // window: whose caption a label takes and a recall restores; labels:
    // lblF1..lblF4; setup: the controls a bank is taken from and put back
    // into; menu: whose "Add" items store the banks.
    void attach(Window& window, std::array<Label*, kWaveBankCount> labels, SetupControls& setup, MainMenu& menu);

    // Does nothing before attach.
    void store(int bank);

    // WaveBankRecall (bank is 1..4; other numbers hold nothing).
    bool holdsData(int bank) const override;
    void recall(int bank) override;

private:
    Window* window_ = nullptr;
    std::array<Label*, kWaveBankCount> labels_ {};
    SetupControls* setup_ = nullptr;
    std::array<std::optional<PerformanceSetup>, kWaveBankCount> banks_;
};

} // namespace kelvane
