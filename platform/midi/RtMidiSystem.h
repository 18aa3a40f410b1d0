#pragma once

// What the RtMidi adapters (RtMidiOutputPorts, RtMidiInputPort) share. Only
// their sources include this header: RtMidi stays out of every other one.

#include "midi/MidiApi.h"

#include <RtMidi.h>

#include <string>
#include <string_view>
#include <vector>

namespace kelvane::midi {

RtMidi::Api rtMidiApi(MidiApi api);

// A port as the user sees it, and where RtMidi lists it now.
struct ListedPort {
    std::string name;
    unsigned index = 0;
};

// The ports to offer, from RtMidi's names in its order. On the ALSA sequencer
// RtMidi ends each name with the port's address ("nanoPAD2:nanoPAD2 MIDI 1
// 24:0"), which changes when the device is plugged in again; the user sees,
// and the program remembers, the name without it (JACK names carry none). Ports of the same name (two
// identical controllers) are told apart by " 2", " 3" in list order. The
// program's own ports (client `ownClient`, or "ownClient-01" as JACK renames
// a second client of the same name) are left out: playing into them would
// loop the program's output back into its input.
std::vector<ListedPort> listedPorts(
    MidiApi api, const std::vector<std::string>& rtMidiNames, std::string_view ownClient);

// RtMidi's names of the ports `midi` can open, in its order; a port that
// vanishes while being listed is left out.
std::vector<std::string> rtMidiPortNames(RtMidi& midi);

// The port called `name` among `midi`'s ports now.
const ListedPort* findListedPort(const std::vector<ListedPort>& ports, const std::string& name);

} // namespace kelvane::midi
