#pragma once

#include "files/MidiInputSettingsFile.h"
#include "inputs/MidiInputChoice.h"
#include "ports/Dialogs.h"
#include "ports/MidiInput.h"

namespace kelvane {

// Where the MIDI input's messages and losses go.
class MidiInputSink {
public:
    virtual void message(const MidiInputMessage& message) = 0;
    // The open port went away or was given up: nothing it held may stay held.
    virtual void inputLost() = 0;

protected:
    ~MidiInputSink() = default;
};

// The chosen MIDI input port, kept by its name through unplugging: opened at
// start when it is there, and whenever it comes back.
//
// A port that disappears (or cannot be opened) is told to the performer once,
// not at every change of the system's ports, and what it held is released at
// once; a port that comes back is taken again without a word. A port chosen
// but absent at start waits silently: the setup window lists it as not
// connected.
class MidiInputConnection final : public MidiInputEvents, public MidiInputChoice {
public:
    MidiInputConnection(MidiInput& input, MidiInputSettingsFile& settings, Dialogs& dialogs, MidiInputSink& sink);
    ~MidiInputConnection();
    MidiInputConnection(const MidiInputConnection&) = delete;
    MidiInputConnection& operator=(const MidiInputConnection&) = delete;

    // Opens the remembered port, if it is there; after the settings are loaded.
    void start();
    bool connected() const { return open_; }

    std::vector<MidiInputEntry> inputEntries() const override;
    const std::string& chosenInput() const override { return settings_.current().input; }
    void chooseInput(const std::string& name) override;
    Signal<>& entriesChanged() override { return entriesChanged_; }

    void message(const MidiInputMessage& message) override;
    void portsChanged() override;

private:
    bool present(const std::vector<std::string>& names) const;
    void connect();
    void disconnect();
    void tell(const std::string& text);

    MidiInput& input_;
    MidiInputSettingsFile& settings_;
    Dialogs& dialogs_;
    MidiInputSink& sink_;
    Signal<> entriesChanged_;
    bool open_ = false;
    // Told once per loss and per failing choice, until the port plays again.
    bool lossTold_ = false;
    bool failureTold_ = false;
    bool telling_ = false;
};

} // namespace kelvane
