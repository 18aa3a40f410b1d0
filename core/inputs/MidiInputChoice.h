#pragma once

#include "controls/Signal.h"

#include <string>
#include <vector>

namespace kelvane {

// One entry of the MIDI input list: a port by name, and whether it is there
// now (the chosen port stays listed while it is unplugged).
struct MidiInputEntry {
    std::string name;
    bool present = true;

    friend bool operator==(const MidiInputEntry&, const MidiInputEntry&) = default;
};

// What the "MIDI Setup" window needs of the MIDI input: the ports to list and
// the performer's choice.
class MidiInputChoice {
public:
    // The ports present now in the system's order, then the chosen one when
    // it is not present.
    virtual std::vector<MidiInputEntry> inputEntries() const = 0;
    // Empty for none.
    virtual const std::string& chosenInput() const = 0;
    // Remembers the choice for the next start and plays from that port (now,
    // or as soon as it is plugged in); empty chooses none.
    virtual void chooseInput(const std::string& name) = 0;
    // Emitted when ports came or went, after the choice has followed.
    virtual Signal<>& entriesChanged() = 0;

protected:
    ~MidiInputChoice() = default;
};

} // namespace kelvane
