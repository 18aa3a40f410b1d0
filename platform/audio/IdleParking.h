#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace kelvane::audio {

// Lets the audio thread sleep while nothing sounds, so that an idle program
// costs nothing: a device keeps calling its period callback, silence or not,
// hundreds of times a second.
//
// Once every period for a while (kIdleSeconds) found all sources idle, a
// thread of its own takes the device's lock, which the audio thread needs
// for every period, and holds it: the audio thread then sleeps on that lock
// instead of waking each period. Anything handed to a source calls wake(),
// and the lock is given back at once: the audio thread renders its next
// period at once, and an event's stamp still places it one period after its
// hand-over, the time the wake takes included (while that is under a period).
//
// periodRendered runs on the audio thread and never blocks; wake on any
// thread, costing one atomic load unless the device rests; hold/release on
// any thread; destruction on the user-interface thread.
class IdleParking {
public:
    static constexpr double kIdleSeconds = 0.25;

    // lockDevice / unlockDevice take and give back the device's lock, which
    // every period's render holds; allIdle asks every source, with the lock
    // held, whether it is idle.
    IdleParking(std::function<void()> lockDevice, std::function<void()> unlockDevice, std::function<bool()> allIdle);
    ~IdleParking();
    IdleParking(const IdleParking&) = delete;
    IdleParking& operator=(const IdleParking&) = delete;

    // After each period: `idle` when every source was idle after it.
    void periodRendered(bool idle, int frames, int sampleRate) noexcept;
    // After something was handed to a source.
    void wake() noexcept;
    // The device runs, and stays running until as many release() calls: for
    // a caller about to take the device's lock itself (directly or through
    // SDL_mixer), which a resting device holds.
    void hold();
    void release() noexcept;

    // How often the device has been rested so far (for tests and benchmarks).
    std::uint64_t rests() const { return rests_.load(std::memory_order_relaxed); }

private:
    void run();

    std::function<void()> lockDevice_;
    std::function<void()> unlockDevice_;
    std::function<bool()> allIdle_;

    std::int64_t idleFrames_ = 0; // audio thread
    std::atomic<int> holds_ {0};
    std::atomic<bool> stopping_ {false};
    std::atomic<std::uint32_t> restAsked_ {0}; // counts requests from the audio thread
    std::atomic<std::uint32_t> wakes_ {0}; // counts wakes while resting
    std::atomic<bool> resting_ {false};
    std::atomic<std::uint64_t> rests_ {0};
    std::thread thread_;
};

} // namespace kelvane::audio
