#pragma once

#include "PadMidi.h"
#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ScrollBar.h"
#include "controls/Shape.h"
#include "controls/TextBox.h"

#include <array>
#include <memory>
#include <string>

namespace kelvane {

constexpr int kSwitchCount = 8;

// The controls of one switch. The settings live in the four bars; the boxes
// only show them.
struct Switch {
    explicit Switch(int number);

    int number; // 1..8
    Button button;
    Shape indicator;
    ScrollBar note;
    TextBox noteBox;
    ScrollBar velocity;
    TextBox velocityBox;
    ScrollBar channel; // runs downward: 16 at the top
    TextBox channelBox;
    ScrollBar program; // runs downward; 128 and -1 are wrap markers, never sent
    TextBox programBox;
    TextBox nameBox;
    CheckBox gate;
};

// The eight switches and the change handling that keeps their boxes, the note
// copy and the instrument names in step with the bars. A program change made
// on any bar is sent at once and copied to every other switch on that channel.
//
// Every writer of a setting (menus, presets, files, banks) assigns the bar's
// value and relies on this handling.
class SwitchSet {
public:
    explicit SwitchSet(PadMidi& midi);
    SwitchSet(const SwitchSet&) = delete;
    SwitchSet& operator=(const SwitchSet&) = delete;

    // n is 1..8.
    Switch& at(int n) { return *switches_[static_cast<std::size_t>(n - 1)]; }
    const Switch& at(int n) const { return *switches_[static_cast<std::size_t>(n - 1)]; }

    // The note a press plays: switches 1 to 6 read the copy that the note bar's
    // handling keeps, 7 and 8 the bar itself.
    int playedNote(int n) const;
    void resetNoteCopy();

    // Disables (locked) or enables the sixteen note and channel bars, note bar
    // then channel bar of switches 1 to 8. Velocity and program bars stay free.
    void lockNoteAndChannel(bool locked);

    // "+" or "-" typed on a focused program bar: only switches 1 to 6 take it.
    void programBarKey(int n, char key);

    // The text a name box settles on.
    std::string instrumentName(int n) const;

private:
    void wire(Switch& s);
    void noteChanged(Switch& s);
    void channelChanged(Switch& s);
    void programChanged(Switch& s);
    void refreshName(Switch& s) { s.nameBox.setText(instrumentName(s.number)); }

    PadMidi& midi_;
    std::array<std::unique_ptr<Switch>, kSwitchCount> switches_;
    std::array<int, 6> noteCopy_ {};
};

} // namespace kelvane
