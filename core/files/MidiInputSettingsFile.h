#pragma once

#include "files/MidiInputSettings.h"
#include "ports/Dialogs.h"
#include "ports/SettingsStore.h"

namespace kelvane {

// The MIDI input's settings as the program holds them, and their file. Every
// change is written at once, whole, so a learned binding survives a crash.
//
// Nothing is ever lost to a bad file: one that cannot be decoded is set
// aside (".bad") and the user told once; one that cannot be read at all is
// left alone and not written over in this run. Either way the program runs
// on with the defaults: no input and the default binding. A write that fails
// is told once until a write succeeds again; the settings stay in effect.
class MidiInputSettingsFile {
public:
    MidiInputSettingsFile(SettingsStore& store, Dialogs& dialogs) : store_(store), dialogs_(dialogs) { }

    // Reads the file; called once, at start.
    void load();

    const MidiInputSettings& current() const { return settings_; }
    const SwitchBinding& binding(int n) const { return settings_.bindings[static_cast<std::size_t>(n - 1)]; }

    // Each writes the file when it changes something.
    void setInput(const std::string& input);
    void setBindings(const MidiBindings& bindings);

private:
    void save();
    void tell(const std::string& text);

    SettingsStore& store_;
    Dialogs& dialogs_;
    MidiInputSettings settings_;
    bool mayWrite_ = true;
    bool writeFailureTold_ = false;
};

} // namespace kelvane
