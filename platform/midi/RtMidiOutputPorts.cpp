#include "midi/RtMidiOutputPorts.h"

#include "midi/RtMidiSystem.h"

namespace kelvane::midi {

struct RtMidiOutputPorts::Client {
    std::unique_ptr<RtMidiOut> out;
    MidiApi api = MidiApi::AlsaSequencer;
    std::string name;
    std::string unavailable;
    // The last error RtMidi reported through the callback during the current
    // call; warnings are not failures and are dropped.
    std::string error;

    static void onError(RtMidiError::Type type, const std::string& text, void* self)
    {
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
            static_cast<Client*>(self)->error = text;
    }
};

RtMidiOutputPorts::RtMidiOutputPorts(MidiApi api, const std::string& clientName) : client_(std::make_unique<Client>())
{
    client_->api = api;
    client_->name = clientName;
    // The API explicitly: RtMidi's default order tries JACK first, whose
    // client crashes when no JACK server runs.
    try {
        client_->out = std::make_unique<RtMidiOut>(rtMidiApi(api), clientName);
        // With a callback installed RtMidi reports instead of throwing.
        client_->out->setErrorCallback(&Client::onError, client_.get());
    } catch (const RtMidiError& error) {
        client_->out.reset();
        client_->unavailable
            = (api == MidiApi::Jack ? "JACK MIDI is not available (" : "The ALSA MIDI sequencer is not available (")
            + error.getMessage() + ").";
    }
}

RtMidiOutputPorts::~RtMidiOutputPorts() = default;

const std::string& RtMidiOutputPorts::unavailableReason() const { return client_->unavailable; }

std::vector<std::string> RtMidiOutputPorts::names() const
{
    std::vector<std::string> names;
    if (!client_->out)
        return names;
    for (ListedPort& port : listedPorts(client_->api, rtMidiPortNames(*client_->out), client_->name))
        names.push_back(std::move(port.name));
    return names;
}

bool RtMidiOutputPorts::open(const std::string& name, std::string& problem)
{
    if (!client_->out) {
        problem = client_->unavailable;
        return false;
    }
    close();
    // Port numbers shift when devices come and go; the name is what the user chose.
    try {
        const std::vector<ListedPort> ports = listedPorts(client_->api, rtMidiPortNames(*client_->out), client_->name);
        if (const ListedPort* port = findListedPort(ports, name)) {
            client_->error.clear();
            client_->out->openPort(port->index, "Output");
            if (client_->out->isPortOpen())
                return true;
            problem = "The MIDI output " + name + " cannot be opened (" + client_->error + ").";
            return false;
        }
    } catch (const RtMidiError& error) {
        problem = "The MIDI output " + name + " cannot be opened (" + error.getMessage() + ").";
        return false;
    }
    problem = "The MIDI output " + name + " is no longer present.";
    return false;
}

void RtMidiOutputPorts::close()
{
    if (client_->out && client_->out->isPortOpen())
        client_->out->closePort();
}

bool RtMidiOutputPorts::transmit(const MidiBytes& message, std::string& problem)
{
    if (!client_->out || !client_->out->isPortOpen()) {
        problem = "No MIDI output port is open.";
        return false;
    }
    client_->error.clear();
    try {
        client_->out->sendMessage(message.data(), message.size);
    } catch (const RtMidiError& error) {
        client_->error = error.getMessage();
    }
    if (client_->error.empty())
        return true;
    problem = "The MIDI output did not take the message (" + client_->error + ").";
    return false;
}

} // namespace kelvane::midi
