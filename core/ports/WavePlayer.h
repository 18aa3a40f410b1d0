#pragma once

#include <string>

namespace kelvane {

// Wave playback in numbered buffers. A buffer number is handed out by
// loadWaveFile; -1 means the file could not be loaded. Calls with a buffer
// number that is unknown (or -1) are accepted and do nothing.
// Volume is in hundredths of a decibel (0 full, -10000 silent), pan from
// -10000 (left) to 10000 (right).
class WavePlayer {
public:
    virtual ~WavePlayer() = default;

    // Readies the file for a later loadWaveFile (a player decodes it in the
    // background) and returns at once. Only speed changes: no buffer is made,
    // nothing sounds, and a file that cannot be loaded is still answered by
    // loadWaveFile. An empty path does nothing.
    virtual void prepareWaveFile(const std::string& path) = 0;
    virtual int loadWaveFile(const std::string& path) = 0;
    virtual void releaseBuffer(int buffer) = 0;
    virtual void playBuffer(int buffer) = 0;
    virtual void playLooping(int buffer) = 0;
    virtual void stopBuffer(int buffer) = 0;
    virtual void stopAllBuffers() = 0;
    // Length in milliseconds; 0 for an unknown buffer.
    virtual int bufferLength(int buffer) const = 0;
    virtual bool isBufferPlaying(int buffer) const = 0;
    virtual void setBufferVolume(int buffer, int volume) = 0;
    virtual void setBufferPan(int buffer, int pan) = 0;

    // Why no wave can play at all: the sound output is missing, in the words
    // of the audio system that refused it. Empty while waves can play; then a
    // load that answers -1 is about the file alone. Only a player without an
    // output has anything to say here.
    virtual std::string outputProblem() const { return {}; }
};

} // namespace kelvane
