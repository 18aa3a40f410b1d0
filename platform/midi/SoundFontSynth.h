#pragma once

#include "audio/AudioSource.h"
#include "midi/MidiSynth.h"

#include <functional>
#include <memory>
#include <string>

namespace kelvane::midi {

struct SoundFontSettings {
    // FluidSynth's own default of 0.2 leaves a piano chord at a tenth of full
    // scale, faint next to the wave slots. At 0.6 a full-velocity eight-note
    // piano chord peaks near a third of full scale; louder programs are bent
    // smoothly below full scale by render() rather than clipped.
    static constexpr double kDefaultGain = 0.6;

    std::string path;
    int sampleRate = 48000;
    double gain = kDefaultGain;
};

// The built-in General MIDI synthesizer: FluidSynth playing a soundfont.
//
// Only the audio thread touches FluidSynth once the soundfont is loaded, so
// FluidSynth's own locking is off. play() stamps the message with the moment
// it was handed over, puts it into a lock-free queue and returns. render()
// hands each queued message to FluidSynth at the frame one period after its
// stamp (AudioPeriod::frameFor), rendering the period in pieces between the
// messages, so a note sounds a fixed delay after its press instead of at the
// start of whichever period happens to take it. Nothing on the user-interface
// thread ever waits for the audio thread.
//
// FluidSynth starts voices only at the start of one of its 64-frame blocks.
// From silence the block is begun at the note's own frame, so the note starts
// exactly there; while other voices sound, a note starts at the block start
// nearest its frame (at most 32 frames, 0.7 ms at 48 kHz, early or late).
//
// While no voice sounds, the last output was silent and nothing is queued,
// render() returns at once without running FluidSynth: an idle synthesizer
// costs nothing.
//
// The queue holds kQueueCapacity messages: far more than a panic sweep sends
// between two periods. When it is full (the audio thread has stalled) play()
// refuses the message and says so; it is never dropped silently.
//
// The soundfont loads on a thread of its own, so construction returns at once.
// Messages played while it loads wait in the queue and are played, in order,
// at the first period after the load, so the first program changes of a
// session are not lost. A file that is missing or not a soundfont is known at
// construction; a soundfont that turns out to be broken is known once the load
// has failed. Either way silenceReason() says so and messages are dropped.
//
// play(), allNotesOff() and silenceReason() run on the user-interface thread,
// render() on the audio thread (one at a time); render() adds nothing until
// the load is done.
class SoundFontSynth final : public MidiSynth, public audio::AudioSource {
public:
    static constexpr std::size_t kQueueCapacity = 8192;

    // Called on the audio thread with every message as FluidSynth takes it,
    // in order (for tests and measurements). Must not block or throw.
    using TakenObserver = std::function<void(const MidiBytes&)>;

    explicit SoundFontSynth(SoundFontSettings settings, TakenObserver taken = {});
    // Waits for a load in progress to end (it cannot be cut short). The owner
    // detaches the synth from the audio output before destroying it.
    ~SoundFontSynth() override;
    SoundFontSynth(const SoundFontSynth&) = delete;
    SoundFontSynth& operator=(const SoundFontSynth&) = delete;

    bool play(const MidiBytes& message) override;
    void allNotesOff() override;
    std::string silenceReason() const override;

    void render(std::int16_t* mix, const audio::AudioPeriod& period) noexcept override;
    bool idle() const noexcept override;

    // Blocks until the background load has ended; true when the soundfont is
    // loaded. User-interface thread.
    bool waitUntilLoaded();

    // Messages queued for the audio thread and not yet taken (an estimate
    // while the audio thread runs).
    std::size_t queuedMessages() const;

    // Frames FluidSynth has rendered so far (a measure for tests and
    // benchmarks: it stands still while the synthesizer is idle).
    std::uint64_t synthesizedFrames() const;

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

} // namespace kelvane::midi
