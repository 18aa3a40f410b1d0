#pragma once

#include "audio/AudioSource.h"
#include "audio/DecodedWaveCache.h"
#include "audio/MessageQueue.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

namespace kelvane::audio {

// The wave slots' voices, mixed into the audio output by the audio thread.
//
// The user-interface thread starts and stops voices; each start and stop is
// stamped with the moment it was asked for and takes effect in the output at
// the frame one period later (AudioPeriod::frameFor), so a wave starts at the
// same delay after its press whatever moment of the period the press came
// at. A wave whose decoding is still under way when its start comes waits and
// starts, from its beginning, in the first period after the decoding ends
// (or never, when the file turns out not to decode).
//
// The audio thread does nothing while no voice sounds and nothing is asked
// of it. It never allocates, locks or frees: the user-interface thread keeps
// each voice's sound alive until the audio thread has said the voice ended.
//
// start, stop, stopAll, setGains and sounding run on the user-interface
// thread; render on the audio thread.
class WaveMixer final : public AudioSource {
public:
    static constexpr std::size_t kVoices = 256;

    // A voice as one start of it: a later start of the same voice is another ticket.
    struct Ticket {
        std::size_t voice = 0;
        std::uint64_t start = 0;
    };
    struct Gains {
        float left = 1.0f;
        float right = 1.0f;
    };

    WaveMixer() = default;
    WaveMixer(const WaveMixer&) = delete;
    WaveMixer& operator=(const WaveMixer&) = delete;

    // Starts `wave` on a free voice, from its beginning, once or looping
    // until stopped. Nothing when every voice is busy or the audio thread has
    // stopped taking requests (its queue is full).
    std::optional<Ticket> start(std::shared_ptr<const WaveDecoding> wave, bool looping, Gains gains);
    // Ends that start of the voice (nothing if it has ended already).
    void stop(const Ticket& ticket);
    // Ends every voice started so far.
    void stopAll();
    // Applies at the next period; nothing if that start has ended.
    void setGains(const Ticket& ticket, Gains gains);
    // Started and not yet ended, stopped or found not to decode, as far as
    // the audio thread has told.
    bool sounding(const Ticket& ticket) const;

    void render(std::int16_t* mix, const AudioPeriod& period) noexcept override;
    bool idle() const noexcept override;

private:
    enum class Request : std::uint8_t { Start, Stop, StopAll };
    struct Message {
        Request request = Request::Start;
        std::size_t voice = 0;
        std::uint64_t start = 0;
        const WaveDecoding* wave = nullptr;
        bool looping = false;
        Stamp stamp = 0;
    };
    // What both threads see of a voice.
    struct Shared {
        // The last start of the voice that ended; written by the audio thread.
        std::atomic<std::uint64_t> ended {0};
        // A stop that found the queue full: the audio thread ends that start
        // at the next period.
        std::atomic<std::uint64_t> stopAsked {0};
        std::atomic<float> left {1.0f};
        std::atomic<float> right {1.0f};
    };
    // The user-interface thread's own record of a voice.
    struct Claim {
        std::uint64_t start = 0; // the last start asked for
        std::shared_ptr<const WaveDecoding> wave; // kept until that start has ended
    };
    // The audio thread's own record of a voice.
    struct Playing {
        const WaveDecoding* wave = nullptr;
        std::uint64_t start = 0;
        std::size_t position = 0; // next frame to play
        bool active = false;
        bool looping = false;
    };

    void send(const Message& message);
    void apply(const Message& message) noexcept;
    void end(std::size_t voice) noexcept;
    void mixVoices(std::int16_t* mix, int from, int to) noexcept;
    void mixVoice(std::size_t voice, std::int16_t* mix, int from, int to) noexcept;

    MessageQueue<Message, 1024> queue_;
    std::array<Shared, kVoices> shared_ {};
    std::atomic<bool> stopAllAsked_ {false};
    std::array<Claim, kVoices> claims_ {}; // user-interface thread
    std::array<Playing, kVoices> playing_ {}; // audio thread
    std::size_t activeVoices_ = 0; // audio thread
};

} // namespace kelvane::audio
