#pragma once

#include "midi/MidiPorts.h"

#include <memory>
#include <string>

namespace kelvane::midi {

// The ALSA sequencer's output ports through RtMidi, as sequencer client
// `clientName`. Without a sequencer (no /dev/snd/seq) there are no ports and
// every open fails with a sentence for the user; nothing throws.
class AlsaMidiPorts final : public MidiPorts {
public:
    explicit AlsaMidiPorts(const std::string& clientName);
    ~AlsaMidiPorts() override;
    AlsaMidiPorts(const AlsaMidiPorts&) = delete;
    AlsaMidiPorts& operator=(const AlsaMidiPorts&) = delete;

    // Why the sequencer cannot be used; empty when it can.
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
