#pragma once

#include "fakes/EffectLog.h"
#include "ports/WavePlayer.h"

#include <set>
#include <string>
#include <vector>

namespace kelvane::fakes {

// Records every wave call as "wave Operation args". Loading hands out buffer
// numbers from 1 upward for any non-empty path and -1 for an empty one or one
// listed in `unloadable`. Every buffer is `lengthMs` long; the buffers in
// `playing` answer that they play. Files readied ahead of a load are kept in
// `prepared`, in order, apart from the log: readying changes nothing a user
// sees or hears.
class FakeWavePlayer : public WavePlayer {
public:
    explicit FakeWavePlayer(EffectLog& log) : log_(log) { }

    void prepareWaveFile(const std::string& path) override { prepared.push_back(path); }
    int loadWaveFile(const std::string& path) override
    {
        log_.add("wave LoadWaveFile \"" + path + "\"");
        return path.empty() || unloadable.contains(path) ? -1 : nextBuffer_++;
    }
    void releaseBuffer(int buffer) override { log_.add("wave ReleaseBuffer " + std::to_string(buffer)); }
    void playBuffer(int buffer) override { log_.add("wave PlayBuffer " + std::to_string(buffer)); }
    void playLooping(int buffer) override { log_.add("wave PlayLooping " + std::to_string(buffer)); }
    void stopBuffer(int buffer) override { log_.add("wave StopBuffer " + std::to_string(buffer)); }
    void stopAllBuffers() override { log_.add("wave StopAllBuffers"); }
    int bufferLength(int) const override { return lengthMs; }
    bool isBufferPlaying(int buffer) const override { return playing.contains(buffer); }
    std::string outputProblem() const override { return noOutput; }
    void setBufferVolume(int buffer, int volume) override
    {
        log_.add("wave SetBufferVolume " + std::to_string(buffer) + " " + std::to_string(volume));
    }
    void setBufferPan(int buffer, int pan) override
    {
        log_.add("wave SetBufferPan " + std::to_string(buffer) + " " + std::to_string(pan));
    }

    int lengthMs = 1000;
    std::set<int> playing;
    std::set<std::string> unloadable;
    std::vector<std::string> prepared;
    // Set to play without a sound output: what the audio system said.
    std::string noOutput;

private:
    EffectLog& log_;
    int nextBuffer_ = 1;
};

} // namespace kelvane::fakes
