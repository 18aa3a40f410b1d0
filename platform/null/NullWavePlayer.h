#pragma once

#include "ports/WavePlayer.h"

#include <string>
#include <utility>

namespace kelvane {

// The wave player for a program without wave playback: it loads nothing
// (every load answers -1, "cannot be loaded") and every other call is a no-op.
// When it stands in for a sound output that could not be opened, it keeps the
// reason, so that a failed press blames the output and not the file.
class NullWavePlayer : public WavePlayer {
public:
    NullWavePlayer() = default;
    explicit NullWavePlayer(std::string outputProblem) : outputProblem_(std::move(outputProblem)) { }

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
    std::string outputProblem() const override { return outputProblem_; }

private:
    std::string outputProblem_;
};

} // namespace kelvane
