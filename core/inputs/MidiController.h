#pragma once

#include "SwitchTrigger.h"
#include "files/MidiInputSettingsFile.h"
#include "inputs/MidiInputConnection.h"
#include "inputs/MidiLearnForm.h"
#include "inputs/MidiPerformance.h"
#include "ports/Dialogs.h"
#include "ports/MidiInput.h"
#include "ports/SettingsStore.h"

namespace kelvane {

// Everything outside that the MIDI controller input reaches.
struct MidiControllerPorts {
    MidiInput& input;
    SettingsStore& settings; // midi-input.conf
    Dialogs& dialogs;
};

// A MIDI controller as a fourth way to press the switches: its settings and
// their file, the chosen port, the playing and the "MIDI Learn" window, built
// beside the main window from its switch trigger. A learning switch sees each
// message before it plays; a lost port releases what it held.
class MidiController final : private MidiInputSink {
public:
    MidiController(MidiControllerPorts ports, SwitchTrigger& trigger);

    // Reads the settings and opens the remembered port; once, at start.
    void start();

    MidiInputSettingsFile& settings() { return settings_; }
    MidiInputConnection& connection() { return connection_; }
    MidiPerformance& performance() { return performance_; }
    MidiLearnForm& learnForm() { return learnForm_; }

private:
    void message(const MidiInputMessage& message) override;
    void inputLost() override { performance_.releaseAll(); }

    MidiInputSettingsFile settings_;
    MidiPerformance performance_;
    MidiLearnForm learnForm_;
    MidiInputConnection connection_;
};

} // namespace kelvane
