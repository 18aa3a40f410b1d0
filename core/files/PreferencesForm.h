#pragma once

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/MenuItem.h"
#include "controls/OptionButton.h"
#include "controls/TextBox.h"
#include "controls/Window.h"
#include "files/PreferenceRecord.h"
#include "ports/Dialogs.h"
#include "ports/PreferencesStore.h"
#include "slides/SlideChoices.h"

#include <array>
#include <functional>

namespace kelvane {

inline constexpr int kPreferenceSwitchCount = 8;

// The "Kelvane Preferences" window: per switch, what a press does to a
// running presentation ("Next", "Previous", "Off"), and whether the wave
// slots' advanced audio controls are shown. Its option buttons are the live
// slide settings: slide control reads them at every press, saved or not.
//
// Loading reads kelvane.dat; "Save Preferences" and the close box write it
// and hide the window; the close box also unloads it, so the next use loads
// it afresh from its design values and the file.
class PreferencesForm : public Window, public SlideChoices {
public:
    PreferencesForm(PreferencesStore& store, Dialogs& dialogs);

    // What the check box's click action does to the main window: true shows
    // the advanced audio controls and gate boxes, false hides them. Set once,
    // before the first load.
    void onAdvancedAudio(std::function<void(bool shown)> handler) { advancedAudio_ = std::move(handler); }

    // Loads the window (reading the file) unless it is loaded.
    void load();
    bool loaded() const { return loaded_; }

    // The main window's start-up: load, show and at once hide.
    void loadShownThenHidden();
    // The "Preferences" menu command: loads when needed and shows the window
    // beside the main window, without blocking it.
    void show();
    // The close box: the same write and hide as "Save Preferences", then the
    // window unloads. When the write fails the window stays open and loaded.
    void close();

    SlideOptions slideOptions(int switchNumber) override;

    // The entries of the last read, with the settings of the last write.
    const PreferenceRecord& record() const { return record_; }

    Label heading {"Label1", "Powerpoint Slide Control Settings"};
    std::array<Label, kPreferenceSwitchCount> frames {Label {"Frame1", "sw1"}, Label {"Frame2", "sw2"},
        Label {"Frame3", "sw3"}, Label {"Frame4", "sw4"}, Label {"Frame5", "sw5"}, Label {"Frame6", "sw6"},
        Label {"Frame7", "sw7"}, Label {"Frame8", "sw8"}};
    std::array<OptionButton, kPreferenceSwitchCount> next {OptionButton {"opt1a"}, OptionButton {"opt2a"},
        OptionButton {"opt3a"}, OptionButton {"opt4a"}, OptionButton {"opt5a"}, OptionButton {"opt6a"},
        OptionButton {"opt7a"}, OptionButton {"opt8a"}};
    std::array<OptionButton, kPreferenceSwitchCount> previous {OptionButton {"opt1b"}, OptionButton {"opt2b"},
        OptionButton {"opt3b"}, OptionButton {"opt4b"}, OptionButton {"opt5b"}, OptionButton {"opt6b"},
        OptionButton {"opt7b"}, OptionButton {"opt8b"}};
    std::array<OptionButton, kPreferenceSwitchCount> off {OptionButton {"opt1c"}, OptionButton {"opt2c"},
        OptionButton {"opt3c"}, OptionButton {"opt4c"}, OptionButton {"opt5c"}, OptionButton {"opt6c"},
        OptionButton {"opt7c"}, OptionButton {"opt8c"}};
    Label nextLabel {"Label2", "Next"};
    Label previousLabel {"Label3", "Previous"};
    Label offLabel {"Label4", "Off"};
    Label separator {"Label5"};
    Label advancedAudioLabel {"lblAdvAudio", "Show Advanced Audio Settings"};
    CheckBox advancedAudio {"chkAdvAudio", ""};
    Button saveButton {"cmdsavprf", "Save Preferences"};

    // The switch's option buttons (n is 1..8).
    OptionButton& nextOption(int n) { return next.at(static_cast<std::size_t>(n - 1)); }
    OptionButton& previousOption(int n) { return previous.at(static_cast<std::size_t>(n - 1)); }
    OptionButton& offOption(int n) { return off.at(static_cast<std::size_t>(n - 1)); }

private:
    void setDesignValues();
    void read();
    bool applyRecord();
    bool write();
    void advancedAudioClicked();

    PreferencesStore& store_;
    Dialogs& dialogs_;
    std::function<void(bool)> advancedAudio_;
    std::array<OptionGroup, kPreferenceSwitchCount> groups_;
    PreferenceRecord record_ {};
    bool loaded_ = false;
    bool everLoaded_ = false;
    bool settingDesignValues_ = false;
};

// The main window's "Preferences" command: shows the preferences window,
// loading it first when it is not loaded.
class PreferencesCommand {
public:
    PreferencesCommand(MenuItem& item, PreferencesForm& preferences) : preferences_(preferences)
    {
        item.onClick([this] { preferences_.show(); });
    }

private:
    PreferencesForm& preferences_;
};

} // namespace kelvane
