#pragma once

#include "Rig.h"
#include "fakes/FakeMidiInput.h"
#include "fakes/FakeSettingsStore.h"
#include "inputs/MidiController.h"

#include <string>
#include <vector>

namespace kelvane::testing {

// The main window with a MIDI controller input beside it, as the program
// wires them: ports "Pads" and "Pedal" are plugged in and the settings file
// chooses "Pads" unless a test says otherwise. Every port is faked onto the
// one log ("midi-in open Pads", "settings write 260", ...).
struct MidiRig : Rig {
    MidiRig() :
        input(log, {"Pads", "Pedal"}),
        store(log),
        controller({input, store, dialogs}, form.trigger()),
        learnCommand(form.menu().midiLearn(), controller.learnForm())
    {
        setup.attachInput(controller.connection());
        storedInput("Pads");
    }

    // The default settings with "Pads" chosen.
    static MidiInputSettings padsChosen()
    {
        MidiInputSettings settings;
        settings.input = "Pads";
        return settings;
    }

    // The settings file already holds these settings when the program starts.
    void storedSettings(const MidiInputSettings& settings) { store.bytes = encodeMidiInputSettings(settings); }
    void storedInput(const std::string& port)
    {
        MidiInputSettings settings;
        settings.input = port;
        storedSettings(settings);
    }

    // Start-up: the controller's settings and port, then the main window's
    // load and first activation; the log starts empty.
    MidiRig& started()
    {
        controller.start();
        Rig::started();
        return *this;
    }

    // The pad controller on "Pads" (channel 1..16).
    void noteOn(int note, int velocity, int channel = 10) { input.send("Pads", 0x90 + channel - 1, note, velocity); }
    void noteOff(int note, int channel = 10) { input.send("Pads", 0x80 + channel - 1, note, 64); }
    void controlChange(int controller_, int value, int channel = 1)
    {
        input.send("Pads", 0xB0 + channel - 1, controller_, value);
    }
    void programChange(int program, int channel = 1) { input.send("Pads", 0xC0 + channel - 1, program); }

    // Binds switch n as the "MIDI Learn" window would.
    void bind(int n, MidiTrigger trigger, bool padVelocity = false)
    {
        MidiBindings bindings = controller.settings().current().bindings;
        bindings[static_cast<std::size_t>(n - 1)] = {trigger, padVelocity};
        controller.settings().setBindings(bindings);
        log.clear();
    }

    fakes::FakeMidiInput input;
    fakes::FakeSettingsStore store;
    MidiController controller;
    MidiLearnCommand learnCommand;
};

} // namespace kelvane::testing
