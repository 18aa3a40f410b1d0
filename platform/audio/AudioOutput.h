#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace kelvane::audio {

class AudioSource;

struct AudioSettings {
    static constexpr int kDefaultSampleRate = 48000;
    // 256 frames at 48 kHz is about 5.3 ms per period.
    static constexpr int kDefaultBufferFrames = 256;
    static constexpr int kMinBufferFrames = 32;
    static constexpr int kMaxBufferFrames = 8192;

    int sampleRate = kDefaultSampleRate;
    // Frames per device period; values outside kMin..kMaxBufferFrames are clamped.
    int bufferFrames = kDefaultBufferFrames;
};

// The program's one sound device: SDL's audio subsystem and SDL_mixer, opened
// for signed 16-bit stereo. The wave slots play mixer channels on it; the
// built-in synthesizer renders through the music hook.
//
// At most one AudioOutput may exist at a time (the mixer is process-wide).
// Construction and destruction happen on the user-interface thread. The audio
// subsystem is initialised and quit by reference (SDL_InitSubSystem), so other
// SDL subsystems of the process (joysticks) are left alone.
class AudioOutput {
public:
    // Number of mixer channels allocated for the wave slots' sounds.
    static constexpr int kMixChannels = 32;

    // Opens the device. On failure returns null and says what went wrong in
    // `problem`, as a clause to go inside a sentence for the user.
    static std::unique_ptr<AudioOutput> open(const AudioSettings& settings, std::string& problem);

    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // The rate the device actually runs at (it may differ from the one asked for).
    int sampleRate() const { return sampleRate_; }
    // The period asked for, in frames (after clamping).
    int bufferFrames() const { return bufferFrames_; }
    // The period the device really runs with: the frames of its latest period,
    // seen on the audio thread; 0 until the first period has run. The device
    // may grant another size than the one asked for, and the sources then
    // render that size, with no extra buffering in between.
    int obtainedPeriodFrames() const { return obtainedFrames_.load(std::memory_order_relaxed); }
    // "48000 Hz, 256 frames per period (5.3 ms), asked for 256": for the user.
    std::string describePeriod() const;

    // Keeps `source` rendering into the output for as long as the hook lives.
    // Destroying the hook waits for a running render to finish, so the source
    // may be destroyed right after its hook. One hook at a time: attaching
    // replaces any earlier source. The hook must not outlive this output.
    class MusicHook {
    public:
        MusicHook() = default;
        ~MusicHook();
        MusicHook(MusicHook&& other) noexcept;
        MusicHook& operator=(MusicHook&& other) noexcept;
        MusicHook(const MusicHook&) = delete;
        MusicHook& operator=(const MusicHook&) = delete;

    private:
        friend class AudioOutput;
        explicit MusicHook(bool attached) : attached_(attached) { }
        void detach() noexcept;
        bool attached_ = false;
    };
    [[nodiscard]] MusicHook attachMusic(AudioSource& source);

private:
    AudioOutput(int sampleRate, int bufferFrames);
    static void notePeriod(void* output, unsigned char* stream, int bytes);

    int sampleRate_;
    int bufferFrames_;
    std::atomic<int> obtainedFrames_ {0};
};

} // namespace kelvane::audio
