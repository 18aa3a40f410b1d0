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
    // labels are lblF1..lblF4.
    WaveBanks(Window& window, std::array<Label*, kWaveBankCount> labels, SetupControls& setup);

    // Gives the four "Add" items their commands.
    void attach(MainMenu& menu);

    void store(int bank);

    // WaveBankRecall (bank is 1..4; other numbers hold nothing).
    bool holdsData(int bank) const override;
    void recall(int bank) override;

private:
    Window& window_;
    std::array<Label*, kWaveBankCount> labels_;
    SetupControls& setup_;
    std::array<std::optional<PerformanceSetup>, kWaveBankCount> banks_;
};

} // namespace kelvane
