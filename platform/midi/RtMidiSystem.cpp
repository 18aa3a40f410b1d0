#include "midi/RtMidiSystem.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace kelvane::midi {

namespace {

// Removes a trailing " CLIENT:PORT" of decimal numbers, the ALSA address.
std::string withoutSequencerAddress(std::string_view name)
{
    const std::size_t space = name.rfind(' ');
    if (space == std::string_view::npos)
        return std::string(name);
    const std::string_view address = name.substr(space + 1);
    const std::size_t colon = address.find(':');
    const auto digits = [](std::string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    };
    if (colon == std::string_view::npos || !digits(address.substr(0, colon)) || !digits(address.substr(colon + 1)))
        return std::string(name);
    return std::string(name.substr(0, space));
}

bool isOwnPort(std::string_view name, std::string_view ownClient)
{
    const std::string_view client = name.substr(0, name.find(':'));
    if (client == ownClient)
        return true;
    // JACK gives a second client of a taken name "NAME-01", "NAME-02", ...
    return client.size() > ownClient.size() + 1 && client.substr(0, ownClient.size()) == ownClient
        && client[ownClient.size()] == '-'
        && std::all_of(client.begin() + static_cast<std::ptrdiff_t>(ownClient.size()) + 1, client.end(),
            [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

} // namespace

RtMidi::Api rtMidiApi(MidiApi api) { return api == MidiApi::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA; }

std::string unavailableText(MidiApi api, const RtMidiError& error)
{
    return (api == MidiApi::Jack ? "JACK MIDI is not available (" : "The ALSA MIDI sequencer is not available (")
        + error.getMessage() + ").";
}

std::vector<ListedPort> listedPorts(
    MidiApi api, const std::vector<std::string>& rtMidiNames, std::string_view ownClient)
{
    std::vector<ListedPort> ports;
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < rtMidiNames.size(); ++i) {
        // RtMidi answers "" for a port that went between counting and naming.
        if (rtMidiNames[i].empty() || isOwnPort(rtMidiNames[i], ownClient))
            continue;
        std::string name = api == MidiApi::AlsaSequencer ? withoutSequencerAddress(rtMidiNames[i]) : rtMidiNames[i];
        const int count = ++seen[name];
        if (count > 1)
            name += " " + std::to_string(count);
        ports.push_back({std::move(name), static_cast<unsigned>(i)});
    }
    return ports;
}

std::vector<std::string> rtMidiPortNames(RtMidi& midi)
{
    std::vector<std::string> names;
    try {
        const unsigned count = midi.getPortCount();
        for (unsigned port = 0; port < count; ++port)
            names.push_back(midi.getPortName(port));
    } catch (const RtMidiError&) {
        // A port that vanished while being listed is left out.
    }
    return names;
}

const ListedPort* findListedPort(const std::vector<ListedPort>& ports, const std::string& name)
{
    const auto found
        = std::find_if(ports.begin(), ports.end(), [&name](const ListedPort& p) { return p.name == name; });
    return found == ports.end() ? nullptr : &*found;
}

} // namespace kelvane::midi
