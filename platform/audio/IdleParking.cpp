#include "audio/IdleParking.h"

#include <SDL.h>

#include <sys/prctl.h>

namespace kelvane::audio {

IdleParking::IdleParking(
    std::function<void()> lockDevice, std::function<void()> unlockDevice, std::function<bool()> allIdle) :
    lockDevice_(std::move(lockDevice)),
    unlockDevice_(std::move(unlockDevice)),
    allIdle_(std::move(allIdle)),
    thread_([this] { run(); })
{
}

IdleParking::~IdleParking()
{
    stopping_.store(true);
    restAsked_.fetch_add(1);
    restAsked_.notify_one();
    wakes_.fetch_add(1);
    wakes_.notify_one();
    thread_.join();
}

void IdleParking::periodRendered(bool idle, int frames, int sampleRate) noexcept
{
    if (!idle) {
        idleFrames_ = 0;
        return;
    }
    idleFrames_ += frames;
    if (idleFrames_ >= static_cast<std::int64_t>(kIdleSeconds * sampleRate)) {
        // Once per idle stretch (a rest ends with something handed over, or
        // is not taken): a futex wake, which does not block.
        idleFrames_ = 0;
        if (holds_.load(std::memory_order_relaxed) == 0) {
            restAsked_.fetch_add(1, std::memory_order_release);
            restAsked_.notify_one();
        }
    }
}

void IdleParking::wake() noexcept
{
    // Pairs with the fence in run(): either this sees the device resting, or
    // the resting thread sees what was handed over before this call.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (resting_.load(std::memory_order_relaxed)) {
        wakes_.fetch_add(1, std::memory_order_release);
        wakes_.notify_one();
    }
}

void IdleParking::hold()
{
    holds_.fetch_add(1);
    wake();
    // A rest begun before the hold ends at the check after the lock.
    resting_.wait(true);
}

void IdleParking::release() noexcept { holds_.fetch_sub(1); }

void IdleParking::run()
{
    prctl(PR_SET_NAME, "audio rest", 0UL, 0UL, 0UL);
    // A wake passes through this thread on its way to the audio thread, so it
    // asks for the audio thread's own priority: at an ordinary one, a busy
    // machine made it wait its turn, and the first period after a rest came
    // later than the stamp allows. Refused (no right to it), it runs as it is.
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
    std::uint32_t asked = 0;
    for (;;) {
        restAsked_.wait(asked, std::memory_order_acquire);
        asked = restAsked_.load(std::memory_order_acquire);
        if (stopping_.load())
            return;
        if (holds_.load() > 0)
            continue;
        // Waits for the period being rendered, if any, to end.
        lockDevice_();
        const std::uint32_t wakesBefore = wakes_.load(std::memory_order_acquire);
        resting_.store(true);
        std::atomic_thread_fence(std::memory_order_seq_cst);
        // Something may have come between the request and the lock.
        if (holds_.load() == 0 && !stopping_.load() && allIdle_()) {
            rests_.fetch_add(1, std::memory_order_relaxed);
            wakes_.wait(wakesBefore, std::memory_order_acquire);
        }
        resting_.store(false);
        resting_.notify_all();
        unlockDevice_();
    }
}

} // namespace kelvane::audio
