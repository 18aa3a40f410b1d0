#include "midi/RtMidiOutputPorts.h"

#include "midi/RtMidiSystem.h"

namespace kelvane::midi {

struct RtMidiOutputPorts::Client {
    Client(MidiApi api, const std::string& clientName) : out(api, clientName) { }
    RtMidiClient<RtMidiOut> out;
};

RtMidiOutputPorts::RtMidiOutputPorts(MidiApi api, const std::string& clientName) :
    client_(std::make_unique<Client>(api, clientName))
{
}

RtMidiOutputPorts::~RtMidiOutputPorts() = default;

const std::string& RtMidiOutputPorts::unavailableReason() const { return client_->out.unavailable(); }

std::vector<std::string> RtMidiOutputPorts::names() const { return client_->out.names(); }

bool RtMidiOutputPorts::open(const std::string& name, std::string& problem)
{
    RtMidiOut* out = client_->out.get();
    if (out == nullptr) {
        problem = client_->out.unavailable();
        return false;
    }
    close();
    try {
        if (const std::optional<unsigned> index = client_->out.indexOf(name)) {
            client_->out.clearError();
            out->openPort(*index, "Output");
            if (out->isPortOpen())
                return true;
            problem = "The MIDI output " + name + " cannot be opened (" + client_->out.error() + ").";
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
    RtMidiOut* out = client_->out.get();
    if (out != nullptr && out->isPortOpen())
        out->closePort();
}

bool RtMidiOutputPorts::transmit(const MidiBytes& message, std::string& problem)
{
    RtMidiOut* out = client_->out.get();
    if (out == nullptr || !out->isPortOpen()) {
        problem = "No MIDI output port is open.";
        return false;
    }
    client_->out.clearError();
    std::string thrown;
    try {
        out->sendMessage(message.data(), message.size);
    } catch (const RtMidiError& error) {
        thrown = error.getMessage();
    }
    const std::string& error = thrown.empty() ? client_->out.error() : thrown;
    if (error.empty())
        return true;
    problem = "The MIDI output did not take the message (" + error + ").";
    return false;
}

} // namespace kelvane::midi
