#pragma once

#include "midi/MidiBytes.h"

#include <string>

namespace kelvane::midi {

// The synthesizer behind the mapper entry. Every call happens on the
// user-interface thread.
class MidiSynth {
public:
    virtual ~MidiSynth() = default;

    // Plays one checked channel message. Returns without waiting for audio.
    // False when the synthesizer could not take it (its queue to the audio
    // thread is full): the message is lost and the caller tells the user.
    [[nodiscard]] virtual bool play(const MidiBytes& message) = 0;
    // Ends every sounding note on every channel (the mapper is being closed).
    virtual void allNotesOff() = 0;
    // Empty while the synthesizer sounds or is still getting ready; once it is
    // known that it cannot sound, a sentence for the user saying why.
    virtual std::string silenceReason() const = 0;
};

// The mapper when there is nothing to sound with (no audio device): it takes
// every message and plays none.
class SilentSynth final : public MidiSynth {
public:
    explicit SilentSynth(std::string reason) : reason_(std::move(reason)) { }

    bool play(const MidiBytes&) override { return true; }
    void allNotesOff() override { }
    std::string silenceReason() const override { return reason_; }

private:
    std::string reason_;
};

} // namespace kelvane::midi
