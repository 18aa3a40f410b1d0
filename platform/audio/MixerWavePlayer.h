#pragma once

#include "audio/AudioOutput.h"
#include "audio/DecodedWaveCache.h"
#include "audio/WaveMixer.h"
#include "ports/WavePlayer.h"

#include <memory>

namespace kelvane::audio {

// The wave player on the program's audio output: every buffer that plays
// gets a voice of the wave mixer, beside the built-in synthesizer; up to
// WaveMixer::kVoices sounds play at once.
//
// Buffer numbers count up from 1 and are never reused; -1 answers a file that
// is missing or does not decode (WAV, and OGG, FLAC and MP3 where SDL_mixer
// decodes them). Files are decoded on a worker thread into a DecodedWaveCache:
// prepareWaveFile() begins that when a slot's file is chosen, so the first
// press finds the sound ready. A buffer of a file whose decoding is still
// under way is made at once and plays as soon as the decoding ends; only its
// length waits for it (a looped play needs the length at its start). The
// sound of the buffer released last is kept until the next load: a press
// releases its slot's buffer before loading the file again, and so takes the
// sound back even where the cache has let go of it.
//
// Volume is in hundredths of a decibel (0 full, clamped at -10000 silent);
// pan is the attenuation of the other side in hundredths of a decibel
// (positive values quieten the left, negative the right, 0 = both full).
//
// Every call runs on the user-interface thread and returns without waiting
// for the audio thread or a decode (bufferLength of a buffer still decoding
// excepted). A play starts one audio period after the call (see WaveMixer).
// playBuffer and playLooping throw WaveFailure when no voice is free. The
// output must outlive the player.
class MixerWavePlayer : public WavePlayer {
public:
    explicit MixerWavePlayer(AudioOutput& output, std::size_t cacheBytes = DecodedWaveCache::kDefaultCapacityBytes);
    ~MixerWavePlayer() override;
    MixerWavePlayer(const MixerWavePlayer&) = delete;
    MixerWavePlayer& operator=(const MixerWavePlayer&) = delete;

    void prepareWaveFile(const std::string& path) override;
    int loadWaveFile(const std::string& path) override;
    void releaseBuffer(int buffer) override;
    void playBuffer(int buffer) override;
    void playLooping(int buffer) override;
    void stopBuffer(int buffer) override;
    void stopAllBuffers() override;
    int bufferLength(int buffer) const override;
    bool isBufferPlaying(int buffer) const override;
    void setBufferVolume(int buffer, int volume) override;
    void setBufferPan(int buffer, int pan) override;

    const DecodedWaveCache& cache() const;
    // Buffers held (loaded and not released) and voices the mixer has.
    int bufferCount() const;
    int channelCount() const;

    // Linear gains of a volume and a pan, left and right (exposed for tests).
    struct Gains {
        float left;
        float right;
    };
    static Gains gainsFor(int volume, int pan);
    // The file decoded for the output, as the player keeps it: `samples`
    // holds no more than `bytes` (exposed for tests).
    static std::optional<DecodedWave> decode(const std::string& path, AudioOutput& output);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kelvane::audio
