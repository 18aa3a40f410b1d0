#include "midi/AlsaMidiPorts.h"

#include <RtMidi.h>

namespace kelvane::midi {

struct AlsaMidiPorts::Client {
    std::unique_ptr<RtMidiOut> out;
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

AlsaMidiPorts::AlsaMidiPorts(const std::string& clientName) : client_(std::make_unique<Client>())
{
    // The ALSA API explicitly: RtMidi's default order tries JACK first, whose
    // client crashes when no JACK server runs.
    try {
        client_->out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, clientName);
        // With a callback installed RtMidi reports instead of throwing.
        client_->out->setErrorCallback(&Client::onError, client_.get());
    } catch (const RtMidiError& error) {
        client_->out.reset();
        client_->unavailable = "The ALSA MIDI sequencer is not available (" + error.getMessage() + ").";
    }
}

AlsaMidiPorts::~AlsaMidiPorts() = default;

const std::string& AlsaMidiPorts::unavailableReason() const { return client_->unavailable; }

std::vector<std::string> AlsaMidiPorts::names() const
{
    std::vector<std::string> names;
    if (!client_->out)
        return names;
    try {
        const unsigned count = client_->out->getPortCount();
        for (unsigned port = 0; port < count; ++port)
            names.push_back(client_->out->getPortName(port));
    } catch (const RtMidiError&) {
        // A port that vanished while being listed is left out.
    }
    return names;
}

bool AlsaMidiPorts::open(const std::string& name, std::string& problem)
{
    if (!client_->out) {
        problem = client_->unavailable;
        return false;
    }
    close();
    // Port numbers shift when devices come and go; the name is what the user chose.
    try {
        const unsigned count = client_->out->getPortCount();
        for (unsigned port = 0; port < count; ++port) {
            if (client_->out->getPortName(port) != name)
                continue;
            client_->error.clear();
            client_->out->openPort(port, "Output");
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

void AlsaMidiPorts::close()
{
    if (client_->out && client_->out->isPortOpen())
        client_->out->closePort();
}

bool AlsaMidiPorts::transmit(const MidiBytes& message, std::string& problem)
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
