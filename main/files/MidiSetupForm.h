#pragma once

#include "controls/Button.h"
#include "controls/ListBox.h"
#include "controls/TextBox.h"
#include "controls/Window.h"
#include "ports/Environment.h"
#include "ports/MidiOutput.h"

namespace kelvane {

// The "MIDI Setup" window: lists the output devices, the mapper first, and
// switches the MIDI output to the chosen one.
//
// Loading it (on the first showing, and on the next after Cancel) fills the
// list and switches the output to the mapper at once. Ok applies the choice
// and hides the window, which stays loaded with its list and selection; Cancel
// unloads it and undoes nothing.
class MidiSetupForm : public Window {
public:
    MidiSetupForm(MidiOutput& midi, Environment& environment);

    // Shows the window modally, loading it first when it is not loaded.
    // Returns when the user has pressed Ok or Cancel (or closed it).
    void showModal();

    bool loaded() const { return loaded_; }

    // Closing the window from its title bar is a Cancel.
    void close() { cancel(); }

    ListBox comboMidiOut {"ComboMidiOut"};
    Label outLabel {"Label2", "MIDI Out Device"};
    Label inLabel {"Label1", "MIDI In Device"};
    Button okButton {"CmdOk", "Ok"};
    Button cancelButton {"CmdCancel", "Cancel"};

private:
    void load();
    void applyMidiOutDevice();
    void ok();
    void cancel();

    MidiOutput& midi_;
    Environment& environment_;
    bool loaded_ = false;
};

} // namespace kelvane
