#include "waves/WaveBanks.h"

#include "MainMenu.h"

#include <string_view>

namespace kelvane {

namespace {
constexpr std::array<std::string_view, kWaveBankCount> kLabelPrefixes = {"F1   ", "F2   ", "F3   ", "F4   "};

static_assert(kWaveBankCount == MainMenu::kBanks, "a bank without its Add item, or an Add item without its bank");

bool isBank(int bank) { return bank >= 1 && bank <= kWaveBankCount; }
std::size_t at(int bank) { return static_cast<std::size_t>(bank - 1); }
} // namespace

void WaveBanks::attach(Window& window, std::array<Label*, kWaveBankCount> labels, SetupControls& setup, MainMenu& menu)
{
    window_ = &window;
    labels_ = labels;
    setup_ = &setup;
    for (int bank = 1; bank <= kWaveBankCount; ++bank)
        menu.bankAdd(bank).onClick([this, bank] { store(bank); });
}

void WaveBanks::store(int bank)
{
    if (!isBank(bank) || setup_ == nullptr)
        return;
    Label& label = *labels_[at(bank)];
    // Shown even while Expert User is off: a store is always visible.
    label.setVisible(true);
    label.setText(std::string(kLabelPrefixes[at(bank)]) + window_->caption());
    banks_[at(bank)] = setup_->capture();
}

bool WaveBanks::holdsData(int bank) const { return isBank(bank) && banks_[at(bank)].has_value(); }

void WaveBanks::recall(int bank)
{
    if (!holdsData(bank))
        return;
    window_->setCaption(labels_[at(bank)]->text());
    // A copy: the writes below must not read a bank that a nested store changes.
    const PerformanceSetup setup = *banks_[at(bank)];
    setup_->applyInBankOrder(setup);
}

} // namespace kelvane
