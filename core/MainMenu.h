#pragma once

#include "controls/MenuItem.h"

#include <array>
#include <cstddef>

namespace kelvane {

// The main window's menu bar: every menu and item with its caption, shortcut
// and order. The main form gives the items their commands. Each command is
// reached through its own member, so a misspelt command does not compile;
// the items keep their historic names, which the views use as object names.
class MainMenu {
public:
    static constexpr int kBanks = 4;

    MainMenu();
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    // The top-level menus, left to right.
    const MenuItem& bar() const { return bar_; }

    // File
    MenuItem& fileNew() { return *fileNew_; }
    MenuItem& open() { return *open_; }
    MenuItem& save() { return *save_; }
    MenuItem& saveAs() { return *saveAs_; }
    MenuItem& preferences() { return *preferences_; }
    MenuItem& exit() { return *exit_; }
    // MIDI
    MenuItem& midiSetup() { return *midiSetup_; }
    MenuItem& midiLearn() { return *midiLearn_; }
    // Scales/Chords, in the order of kNoteTables; GM Presets, in the order of kPresets.
    MenuItem& noteTable(std::size_t index) { return *noteTables_.at(index); }
    MenuItem& preset(std::size_t index) { return *presets_.at(index); }
    // Options
    MenuItem& octaveUp() { return *octaveUp_; }
    MenuItem& octaveDown() { return *octaveDown_; }
    MenuItem& semitoneUp() { return *semitoneUp_; }
    MenuItem& semitoneDown() { return *semitoneDown_; }
    MenuItem& velocityUp() { return *velocityUp_; }
    MenuItem& velocityDown() { return *velocityDown_; }
    MenuItem& generalMidi() { return *generalMidi_; }
    MenuItem& multimode() { return *multimode_; }
    MenuItem& slideControl() { return *slideControl_; }
    MenuItem& lightingDesk() { return *lightingDesk_; }
    MenuItem& expertUser() { return *expertUser_; }
    MenuItem& exclusiveWaves() { return *exclusiveWaves_; }
    // Panic !
    MenuItem& panic() { return *panic_; }
    MenuItem& allWavesOff() { return *allWavesOff_; }
    // The banks' menus F1..F4 and their Add items, by bank 1..4.
    MenuItem& bankMenu(int bank) { return *bankMenus_.at(static_cast<std::size_t>(bank - 1)); }
    MenuItem& bankAdd(int bank) { return *bankAdds_.at(static_cast<std::size_t>(bank - 1)); }
    // Help
    MenuItem& helpContents() { return *helpContents_; }
    MenuItem& about() { return *about_; }

    // Every item, depth first, for the form's control list.
    template <typename Visit> void forEach(Visit visit) { forEachIn(bar_, visit); }

private:
    template <typename Visit> static void forEachIn(MenuItem& menu, Visit& visit)
    {
        for (auto& child : menu.children()) {
            visit(*child);
            forEachIn(*child, visit);
        }
    }

    MenuItem bar_ {"menuBar", ""};
    MenuItem* fileNew_ = nullptr;
    MenuItem* open_ = nullptr;
    MenuItem* save_ = nullptr;
    MenuItem* saveAs_ = nullptr;
    MenuItem* preferences_ = nullptr;
    MenuItem* exit_ = nullptr;
    MenuItem* midiSetup_ = nullptr;
    MenuItem* midiLearn_ = nullptr;
    std::array<MenuItem*, 9> noteTables_ {};
    std::array<MenuItem*, 5> presets_ {};
    MenuItem* octaveUp_ = nullptr;
    MenuItem* octaveDown_ = nullptr;
    MenuItem* semitoneUp_ = nullptr;
    MenuItem* semitoneDown_ = nullptr;
    MenuItem* velocityUp_ = nullptr;
    MenuItem* velocityDown_ = nullptr;
    MenuItem* generalMidi_ = nullptr;
    MenuItem* multimode_ = nullptr;
    MenuItem* slideControl_ = nullptr;
    MenuItem* lightingDesk_ = nullptr;
    MenuItem* expertUser_ = nullptr;
    MenuItem* exclusiveWaves_ = nullptr;
    MenuItem* panic_ = nullptr;
    MenuItem* allWavesOff_ = nullptr;
    std::array<MenuItem*, kBanks> bankMenus_ {};
    std::array<MenuItem*, kBanks> bankAdds_ {};
    MenuItem* helpContents_ = nullptr;
    MenuItem* about_ = nullptr;
};

} // namespace kelvane
