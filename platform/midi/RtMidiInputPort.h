#pragma once

#include "midi/MidiApi.h"
#include "ports/MidiInput.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace kelvane::midi {

// A message as a controller sent it, if it is one that can play a switch
// (note-off, note-on, control change, program change, each whole); nothing
// for every other message (clock, pressure, pitch bend, system messages) and
// for malformed bytes.
std::optional<MidiInputMessage> playableMessage(const unsigned char* bytes, std::size_t size);

// The system's MIDI input ports through RtMidi (RtMidiIn), as client
// `clientName` of the ALSA sequencer (or of JACK, for tests).
//
// Threading: RtMidi reads the open port on a thread of its own, which sleeps
// until a message comes (the ALSA sequencer; JACK runs its process cycle).
// That thread keeps only the playable messages and queues them, in order, to
// the thread that built this object (the user-interface thread), one queued
// call each, so they keep arriving inside modal boxes and nested event loops.
// Every other call belongs to that thread. A failure a handler lets out is
// told on standard error, never passed to the event loop.
//
// Without the system (no /dev/snd/seq) there are no ports and every open
// fails with a sentence for the user; nothing throws.
class RtMidiInputPort final : public MidiInput {
public:
    RtMidiInputPort(MidiApi api, const std::string& clientName);
    ~RtMidiInputPort() override;
    RtMidiInputPort(const RtMidiInputPort&) = delete;
    RtMidiInputPort& operator=(const RtMidiInputPort&) = delete;

    // Why the MIDI system cannot be used; empty when it can.
    const std::string& unavailableReason() const;

    std::vector<std::string> portNames() const override;
    bool open(const std::string& name, std::string& problem) override;
    void close() override;
    void setEvents(MidiInputEvents* events) override;

    // The port watch's news, passed on to the events (user-interface thread).
    void portsChanged();

private:
    struct Reader;
    std::unique_ptr<Reader> reader_;
};

} // namespace kelvane::midi
