#pragma once

// Header-only: the includer links kelvane_midi, which kelvane_fakes does not.
#include "midi/MidiPorts.h"

#include <string>
#include <vector>

namespace kelvane::fakes {

// A system without MIDI ports, for a router whose mapper is all there is:
// nothing to list, and every open and send fails saying "no ports".
class NoMidiPorts final : public midi::MidiPorts {
public:
    std::vector<std::string> names() const override { return {}; }
    bool open(const std::string&, std::string& problem) override
    {
        problem = "no ports";
        return false;
    }
    void close() override { }
    bool transmit(const midi::MidiBytes&, std::string& problem) override
    {
        problem = "no ports";
        return false;
    }
};

} // namespace kelvane::fakes
