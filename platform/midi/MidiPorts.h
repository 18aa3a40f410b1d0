#pragma once

#include "midi/MidiBytes.h"

#include <string>
#include <vector>

namespace kelvane::midi {

// The system's MIDI output ports. At most one is open at a time. Every call
// happens on the user-interface thread.
class MidiPorts {
public:
    virtual ~MidiPorts() = default;

    // The ports present now, in the order the user sees them.
    virtual std::vector<std::string> names() const = 0;
    // Opens the port that is called `name` now, closing any open one first.
    // On failure nothing is open and `problem` holds a sentence for the user.
    virtual bool open(const std::string& name, std::string& problem) = 0;
    virtual void close() = 0;
    // Sends one message through the open port; false with `problem` when it
    // did not leave (nothing open, or the port refused it).
    virtual bool transmit(const MidiBytes& message, std::string& problem) = 0;
};

} // namespace kelvane::midi
