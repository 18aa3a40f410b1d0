#pragma once

#include "audio/AudioSource.h"
#include "midi/MidiSynth.h"

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
// The soundfont loads on a thread of its own, so construction returns at once.
// Messages played while it loads are kept (up to kMaxPendingMessages) and
// played, in order, as soon as it has loaded, so the first program changes of
// a session are not lost. A file that is missing or not a soundfont is known
// at construction; a soundfont that turns out to be broken is known once the
// load has failed. Either way silenceReason() says so and messages are dropped.
//
// play(), allNotesOff() and silenceReason() run on the user-interface thread,
// render() on the audio thread; render() produces silence until the load is done.
class SoundFontSynth final : public MidiSynth, public audio::AudioSource {
public:
    static constexpr std::size_t kMaxPendingMessages = 8192;

    explicit SoundFontSynth(SoundFontSettings settings);
    // Waits for a load in progress to end (it cannot be cut short). The owner
    // detaches the synth from the audio output before destroying it.
    ~SoundFontSynth() override;
    SoundFontSynth(const SoundFontSynth&) = delete;
    SoundFontSynth& operator=(const SoundFontSynth&) = delete;

    void play(const MidiBytes& message) override;
    void allNotesOff() override;
    std::string silenceReason() const override;

    void render(std::int16_t* interleavedStereo, int frames) noexcept override;

    // Blocks until the background load has ended; true when the soundfont is
    // loaded. User-interface thread.
    bool waitUntilLoaded();

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

} // namespace kelvane::midi
