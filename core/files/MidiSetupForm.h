#pragma once

#include "controls/Button.h"
#include "controls/ListBox.h"
#include "controls/TextBox.h"
#include "controls/Window.h"
#include "inputs/MidiInputChoice.h"
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
//
// Under "MIDI In Device" it lists the MIDI input ports, "(none)" first, with
// the remembered choice selected (also while its controller is unplugged);
// the list follows ports that come and go while the window is loaded, and Ok
// applies the choice as it does the output's.
class MidiSetupForm : public Window {
public:
    static constexpr const char* kNoInput = "(none)";
    static constexpr const char* kNotConnected = " (not connected)";

    MidiSetupForm(MidiOutput& midi, Environment& environment);

    // The MIDI input the window offers; until then its list holds "(none)"
    // only. Given after construction because the input is built beside the
    // main window, which refers to this one; it is destroyed before this
    // window (which therefore leaves its signal alone).
    void attachInput(MidiInputChoice& input);

    // Shows the window modally, loading it first when it is not loaded.
    // Returns when the user has pressed Ok or Cancel (or closed it).
    void showModal();

    bool loaded() const { return loaded_; }

    // Closing the window from its title bar is a Cancel.
    void close() { cancel(); }

    ListBox comboMidiOut {"ComboMidiOut"};
    Label outLabel {"Label2", "MIDI Out Device"};
    Label inLabel {"Label1", "MIDI In Device"};
    ListBox comboMidiIn {"ComboMidiIn"};
    Button okButton {"CmdOk", "Ok"};
    Button cancelButton {"CmdCancel", "Cancel"};

private:
    void load();
    void applyMidiOutDevice();
    void ok();
    void cancel();
    // Lists the inputs, selecting `selected` (a port name, empty for none).
    void listInputs(const std::string& selected);
    std::string selectedInput() const;

    MidiOutput& midi_;
    Environment& environment_;
    MidiInputChoice* input_ = nullptr;
    std::vector<std::string> inputNames_; // the port behind each list position
    bool loaded_ = false;
};

} // namespace kelvane
