#pragma once

#include "audio/AudioOutput.h"
#include "audio/DecodedWaveCache.h"
#include "ports/WavePlayer.h"

#include <memory>

namespace kelvane::audio {

// The wave player on the program's audio output: every buffer plays on a
// mixer channel of its own beside the built-in synthesizer, with as many
// channels as sounds are playing at once.
//
// Buffer numbers count up from 1 and are never reused; -1 answers a file that
// cannot be read or decoded (WAV, and OGG, FLAC and MP3 where SDL_mixer
// decodes them). Decoded files come from a DecodedWaveCache, so a buffer of a
// file played before is made without touching the disk beyond its stamp.
//
// Volume is in hundredths of a decibel (0 full, clamped at -10000 silent);
// pan is the attenuation of the other side in hundredths of a decibel
// (positive values quieten the left, negative the right, 0 = both full).
//
// Every call runs on the user-interface thread. isBufferPlaying reads only
// what the audio thread publishes atomically, so it never waits on the audio
// device. playBuffer and playLooping throw WaveFailure when the mixer refuses
// to start a sound. The output must outlive the player.
class MixerWavePlayer : public WavePlayer {
public:
    explicit MixerWavePlayer(AudioOutput& output, std::size_t cacheBytes = DecodedWaveCache::kDefaultCapacityBytes);
    ~MixerWavePlayer() override;
    MixerWavePlayer(const MixerWavePlayer&) = delete;
    MixerWavePlayer& operator=(const MixerWavePlayer&) = delete;

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
    // Buffers held (loaded and not released) and mixer channels in use.
    int bufferCount() const;
    int channelCount() const;

    // Linear gains of a volume and a pan, left and right (exposed for tests).
    struct Gains {
        float left;
        float right;
    };
    static Gains gainsFor(int volume, int pan);
    // The file decoded for an output of sampleRate, as the player keeps it:
    // `audio` is a Mix_Chunk that holds no more than `bytes` (exposed for
    // tests). Needs the output open.
    static std::optional<DecodedWave> decode(const std::string& path, int sampleRate);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kelvane::audio
