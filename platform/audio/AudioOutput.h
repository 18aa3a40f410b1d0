#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvane::audio {

class AudioSource;
class IdleParking;

struct AudioSettings {
    static constexpr int kDefaultSampleRate = 48000;
    // 256 frames at 48 kHz is about 5.3 ms per period.
    static constexpr int kDefaultBufferFrames = 256;
    static constexpr int kMinBufferFrames = 32;
    static constexpr int kMaxBufferFrames = 8192;

    int sampleRate = kDefaultSampleRate;
    // Frames per device period; values outside kMin..kMaxBufferFrames are clamped.
    int bufferFrames = kDefaultBufferFrames;
    // SDL's audio driver ("pipewire", "pulseaudio", "alsa", "jack", "dummy",
    // "disk"); empty for SDL's own choice (SDL_AUDIODRIVER, else the first
    // that works).
    std::string driver;
};

// The program's one sound device: SDL's audio subsystem and SDL_mixer, opened
// for signed 16-bit stereo. Every period it renders its attached sources (the
// built-in synthesizer, the wave slots' mixer) one after the other into the
// device's buffer, each adding its sound to the silence SDL_mixer starts it
// with. SDL_mixer also decodes the wave files into that format; its own
// channels are not used. While every source is idle the audio thread rests
// (IdleParking) until a source is handed something to play; not with SDL's
// PipeWire driver, which renders in PipeWire's own thread.
//
// At most one AudioOutput may exist at a time (the mixer is process-wide).
// Construction, destruction and attaching happen on the user-interface
// thread. The audio subsystem is initialised and quit by reference
// (SDL_InitSubSystem), so other SDL subsystems of the process (joysticks) are
// left alone.
class AudioOutput {
public:
    // How many sources can be attached at once.
    static constexpr std::size_t kMaxSources = 4;

    // Opens the device. On failure returns null and says what went wrong in
    // `problem`, as a clause to go inside a sentence for the user.
    static std::unique_ptr<AudioOutput> open(const AudioSettings& settings, std::string& problem);

    // The drivers this SDL can use, in SDL's order of preference.
    static std::vector<std::string> availableDrivers();

    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // The rate the device actually runs at (it may differ from the one asked for).
    int sampleRate() const { return sampleRate_; }
    // The period asked for, in frames (after clamping).
    int bufferFrames() const { return bufferFrames_; }
    // The driver SDL opened ("dummy", "pipewire", ...).
    const std::string& driver() const { return driver_; }
    // The period the device really runs with: the frames of its latest period,
    // seen on the audio thread; 0 until the first period has run. The device
    // may grant another size than the one asked for, and the sources then
    // render that size, with no extra buffering in between.
    int obtainedPeriodFrames() const { return obtainedFrames_.load(std::memory_order_relaxed); }
    // "48000 Hz, 256 frames per period (5.3 ms), asked for 256": for the user.
    std::string describePeriod() const;
    // How often the audio thread has rested since the output opened (for
    // tests and benchmarks).
    std::uint64_t rests() const;

    // Keeps the audio thread from resting for its lifetime, waking it if it
    // rests: a resting output holds the device's lock, which SDL_mixer calls
    // such as Mix_FreeChunk take. Any thread; the output must outlive it.
    class KeptAwake {
    public:
        explicit KeptAwake(AudioOutput& output);
        ~KeptAwake();
        KeptAwake(const KeptAwake&) = delete;
        KeptAwake& operator=(const KeptAwake&) = delete;

    private:
        IdleParking* parking_;
    };

    // Keeps a source rendering into the output for as long as the attachment
    // lives. Destroying the attachment waits for a running render to finish,
    // so the source may be destroyed right after it. Sources render in the
    // order they were attached (one attached after another has gone takes
    // the first free place). The attachment must not outlive this output.
    class Attachment {
    public:
        Attachment() = default;
        ~Attachment();
        Attachment(Attachment&& other) noexcept;
        Attachment& operator=(Attachment&& other) noexcept;
        Attachment(const Attachment&) = delete;
        Attachment& operator=(const Attachment&) = delete;

    private:
        friend class AudioOutput;
        Attachment(AudioOutput& output, std::size_t slot) : output_(&output), slot_(slot) { }
        void detach() noexcept;
        AudioOutput* output_ = nullptr;
        std::size_t slot_ = 0;
    };
    // Throws std::length_error when kMaxSources are attached already.
    [[nodiscard]] Attachment attach(AudioSource& source);

private:
    AudioOutput(int sampleRate, int bufferFrames, std::string driver, std::uint32_t device);
    static void renderPeriod(void* output, unsigned char* stream, int bytes);
    bool allSourcesIdle() const noexcept;
    // Returns once no render that may have seen the sources as they were is running.
    void waitForRender() noexcept;

    int sampleRate_;
    int bufferFrames_;
    std::string driver_;
    std::uint32_t device_; // SDL's identifier of the device SDL_mixer opened
    std::atomic<int> obtainedFrames_ {0};
    // Written on the user-interface thread, read by the audio thread; a slot
    // is emptied before its source may go (see waitForRender).
    std::array<std::atomic<AudioSource*>, kMaxSources> sources_ {};
    std::unique_ptr<IdleParking> parking_;
};

} // namespace kelvane::audio
