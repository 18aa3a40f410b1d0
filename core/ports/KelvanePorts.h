#pragma once

#include "ports/Dialogs.h"
#include "ports/Environment.h"
#include "ports/FileStore.h"
#include "ports/JoystickControl.h"
#include "ports/Keystrokes.h"
#include "ports/MidiInput.h"
#include "ports/MidiOutput.h"
#include "ports/Pause.h"
#include "ports/PreferencesStore.h"
#include "ports/SettingsStore.h"
#include "ports/WavePlayer.h"

namespace kelvane {

// Everything outside the program that the program reaches. The program
// (main()) passes the desktop's adapters; tests and benchmarks pass fakes.
struct KelvanePorts {
    MidiOutput& midi;
    MidiInput& midiInput;
    WavePlayer& waves; // the main window's wave voices and the wave slots alike
    JoystickControl& stavik1;
    JoystickControl& stavik2;
    Dialogs& dialogs;
    Pause& pause; // the panic sweep's and the lighting fades' steps
    Environment& environment;
    Keystrokes& keystrokes; // slide control's keys
    PreferencesStore& preferences; // kelvane.dat
    SettingsStore& midiInputSettings; // midi-input.conf
    FileStore& files; // performance files
};

} // namespace kelvane
