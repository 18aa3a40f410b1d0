#pragma once

// What the RtMidi adapters (RtMidiOutputPorts, RtMidiInputPort) share. Only
// their sources include this header: RtMidi stays out of every other one.

#include "midi/MidiApi.h"

#include <RtMidi.h>

#include <memory>
#include <optional>
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

// The port called `name` among `ports`, or null.
const ListedPort* findListedPort(const std::vector<ListedPort>& ports, const std::string& name);

// "The ALSA MIDI sequencer is not available (WHY)." or JACK's.
std::string unavailableText(MidiApi api, const RtMidiError& error);

// One RtMidi client of the program, an RtMidiIn or an RtMidiOut, on a chosen
// API. Building it never throws: without the MIDI system there is no client
// and unavailable() says why. It reports through a callback instead of
// exceptions (error()), and offers its ports by the names the user sees. It
// must stay where it was built: RtMidi keeps its address for the callback.
template <typename Midi> class RtMidiClient {
public:
    RtMidiClient(MidiApi api, const std::string& clientName) : api_(api), clientName_(clientName)
    {
        // The API explicitly: RtMidi's default order tries JACK first, whose
        // client crashes when no JACK server runs.
        try {
            midi_ = std::make_unique<Midi>(rtMidiApi(api), clientName);
            midi_->setErrorCallback(&RtMidiClient::onError, this);
        } catch (const RtMidiError& error) {
            midi_.reset();
            unavailable_ = unavailableText(api, error);
        }
    }
    RtMidiClient(const RtMidiClient&) = delete;
    RtMidiClient& operator=(const RtMidiClient&) = delete;

    // Null without the MIDI system.
    Midi* get() const { return midi_.get(); }
    void reset() { midi_.reset(); }
    const std::string& unavailable() const { return unavailable_; }

    // The last error RtMidi reported since clearError(); warnings are not failures.
    const std::string& error() const { return error_; }
    void clearError() { error_.clear(); }

    std::vector<std::string> names() const
    {
        std::vector<std::string> names;
        if (!midi_)
            return names;
        for (ListedPort& port : listedPorts(api_, rtMidiPortNames(*midi_), clientName_))
            names.push_back(std::move(port.name));
        return names;
    }

    // Where the port called `name` is listed now (port numbers shift as
    // devices come and go; the name is what the user chose).
    std::optional<unsigned> indexOf(const std::string& name) const
    {
        if (!midi_)
            return std::nullopt;
        const std::vector<ListedPort> ports = listedPorts(api_, rtMidiPortNames(*midi_), clientName_);
        const ListedPort* port = findListedPort(ports, name);
        return port != nullptr ? std::optional<unsigned>(port->index) : std::nullopt;
    }

private:
    static void onError(RtMidiError::Type type, const std::string& text, void* self)
    {
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
            static_cast<RtMidiClient*>(self)->error_ = text;
    }

    MidiApi api_;
    std::string clientName_;
    std::string unavailable_;
    std::string error_;
    std::unique_ptr<Midi> midi_;
};

} // namespace kelvane::midi
