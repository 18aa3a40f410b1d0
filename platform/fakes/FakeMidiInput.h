#pragma once

#include "fakes/EffectLog.h"
#include "ports/MidiInput.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kelvane::fakes {

// MIDI input ports that a test plugs in and pulls out. Logs "midi-in open
// NAME", "midi-in close"; messages are delivered synchronously, and only from
// the open port, as the real input delivers them.
class FakeMidiInput : public MidiInput {
public:
    explicit FakeMidiInput(EffectLog& log, std::vector<std::string> ports = {}) :
        log_(log), ports_(std::move(ports)) { }

    std::vector<std::string> portNames() const override { return ports_; }
    bool open(const std::string& name, std::string& problem) override
    {
        log_.add("midi-in open " + name);
        open_.clear();
        if (std::find(ports_.begin(), ports_.end(), name) == ports_.end()) {
            problem = "it is not there";
            return false;
        }
        if (!refusal.empty()) {
            problem = refusal;
            return false;
        }
        open_ = name;
        return true;
    }
    void close() override
    {
        log_.add("midi-in close");
        open_.clear();
    }
    void setEvents(MidiInputEvents* events) override { events_ = events; }

    // The controller on `port` sends a message; nothing arrives unless that port is open.
    void send(const std::string& port, int status, int data1, int data2 = 0)
    {
        if (events_ && port == open_)
            events_->message(MidiInputMessage {status, data1, data2, {}});
    }
    void plug(const std::string& port)
    {
        ports_.push_back(port);
        if (events_)
            events_->portsChanged();
    }
    void unplug(const std::string& port)
    {
        std::erase(ports_, port);
        if (port == open_)
            open_.clear();
        if (events_)
            events_->portsChanged();
    }

    const std::string& openPort() const { return open_; }
    // A port that is there but will not open says this.
    std::string refusal;

private:
    EffectLog& log_;
    std::vector<std::string> ports_;
    std::string open_;
    MidiInputEvents* events_ = nullptr;
};

} // namespace kelvane::fakes
