#pragma once

#include "ports/WavePlayer.h"

namespace kelvane {

// The wave player for a program without wave playback: it loads nothing
// (every load answers -1, "cannot be loaded") and every other call is a no-op.
class NullWavePlayer : public WavePlayer {
public:
    void prepareWaveFile(const std::string&) override { }
    int loadWaveFile(const std::string&) override { return -1; }
    void releaseBuffer(int) override { }
    void playBuffer(int) override { }
    void playLooping(int) override { }
    void stopBuffer(int) override { }
    void stopAllBuffers() override { }
    int bufferLength(int) const override { return 0; }
    bool isBufferPlaying(int) const override { return false; }
    void setBufferVolume(int, int) override { }
    void setBufferPan(int, int) override { }
};

} // namespace kelvane
