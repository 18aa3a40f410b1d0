#pragma once

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/MenuItem.h"
#include "controls/OptionButton.h"
#include "controls/TextBox.h"
#include "controls/Window.h"
#include "files/MidiInputSettingsFile.h"
#include "inputs/MidiPerformance.h"

#include <array>
#include <memory>

namespace kelvane {

// One switch's line of the "MIDI Learn" window (n is 1..8).
struct MidiLearnRow {
    explicit MidiLearnRow(int n);

    Label switchName; // lblSwitchN: "swN"
    Label binding; // lblBindingN: the message bound, or that it is learning
    Button learn; // cmdLearnN: "Learn"
    CheckBox padVelocity; // chkPadVelocityN: "Pad velocity"
};

// The "MIDI Learn" window: sw1..sw8, each with the controller message bound
// to it, a Learn button and whether it plays the pad's velocity; the channel
// that learning takes ("Any channel" or "Channel as sent"); Clear (no switch
// bound), Default (notes 36..43 on any channel) and Close.
//
// Learn arms its switch (Learn again, another Learn or Close disarms it): the
// next note-on, control change or program change is bound to that switch and
// plays nothing. A message already bound to another switch moves: one pad
// plays one switch. A switch whose binding changes while the controller holds
// it is released first, so no note outlives its binding. Every change is
// saved at once. The window is modeless: the pads play while it is open.
class MidiLearnForm : public Window {
public:
    MidiLearnForm(MidiInputSettingsFile& settings, MidiPerformance& performance);

    // The "MIDI Learn" command.
    void show();
    // The Close button and the title bar's close box.
    void close();

    // Offered every controller message before it plays: true when a learning
    // switch took it.
    bool take(const MidiInputMessage& message);
    // The switch learning now, or 0.
    int learning() const { return learning_; }

    // Shows the stored bindings; after they were loaded.
    void showBindings();

    MidiLearnRow& row(int n) { return *rows_[static_cast<std::size_t>(n - 1)]; }

    Label hint {"lblHint"};
    OptionButton anyChannel {"optAnyChannel", "Any channel"};
    OptionButton channelAsSent {"optChannelAsSent", "Channel as sent"};
    Button clearButton {"cmdClear", "Clear"};
    Button defaultButton {"cmdDefault", "Default"};
    Button closeButton {"cmdClose", "Close"};

private:
    void learnClicked(int n);
    void padVelocityClicked(int n);
    // The triggers of `triggers` with each switch's velocity choice kept.
    void setTriggers(const MidiBindings& triggers);
    void change(const MidiBindings& bindings);

    MidiInputSettingsFile& settings_;
    MidiPerformance& performance_;
    std::array<std::unique_ptr<MidiLearnRow>, kSwitchCount> rows_;
    OptionGroup channelGroup_;
    int learning_ = 0;
    bool showing_ = false;
};

// The main window's "MIDI Learn" command (in the "&MIDI" menu).
class MidiLearnCommand {
public:
    MidiLearnCommand(MenuItem& item, MidiLearnForm& form) : form_(form)
    {
        item.onClick([this] { form_.show(); });
    }

private:
    MidiLearnForm& form_;
};

} // namespace kelvane
