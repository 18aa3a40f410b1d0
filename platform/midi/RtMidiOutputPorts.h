#pragma once

#include "midi/MidiApi.h"
#include "midi/MidiPorts.h"

#include <memory>
#include <string>

namespace kelvane::midi {

// The system's MIDI output ports through RtMidi, as client `clientName` of
// the ALSA sequencer (or of JACK, for tests). Ports are named as the user
// sees them (see listedPorts()). Without the system (no /dev/snd/seq) there
// are no ports and every open fails with a sentence for the user; nothing throws.
class RtMidiOutputPorts final : public MidiPorts {
public:
    RtMidiOutputPorts(MidiApi api, const std::string& clientName);
    ~RtMidiOutputPorts() override;
    RtMidiOutputPorts(const RtMidiOutputPorts&) = delete;
    RtMidiOutputPorts& operator=(const RtMidiOutputPorts&) = delete;

    // Why the MIDI system cannot be used; empty when it can.
    const std::string& unavailableReason() const;

    std::vector<std::string> names() const override;
    bool open(const std::string& name, std::string& problem) override;
    void close() override;
    bool transmit(const MidiBytes& message, std::string& problem) override;

private:
    struct Client;
    std::unique_ptr<Client> client_;
};

} // namespace kelvane::midi
