#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <new>
#include <optional>
#include <type_traits>

namespace kelvane::audio {

// A bounded first-in first-out queue between exactly one producer thread and
// one consumer thread, without locks: push() and drain() never wait for the
// other side and never allocate. Capacity must be a power of two.
//
// The producer owns push() and the consumer owns drain() and pop(); either may
// call size() for an estimate.
template <typename T, std::size_t Capacity> class MessageQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");
    static_assert(std::is_trivially_copyable_v<T>, "items are copied across threads without locks");

public:
    static constexpr std::size_t kCapacity = Capacity;

    // Producer. False when the queue is full; the item is then not queued.
    bool push(const T& item) noexcept
    {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - headCache_ == Capacity) {
            headCache_ = head_.load(std::memory_order_acquire);
            if (tail - headCache_ == Capacity)
                return false;
        }
        items_[tail & kMask] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer. Hands every item queued before the call to `take`, oldest
    // first, and returns how many there were. Items pushed meanwhile wait for
    // the next drain, so one drain is bounded.
    template <typename Take> std::size_t drain(Take&& take) noexcept(noexcept(take(std::declval<const T&>())))
    {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        const std::size_t tail = tail_.load(std::memory_order_acquire);
        for (std::size_t at = head; at != tail; ++at)
            take(items_[at & kMask]);
        head_.store(tail, std::memory_order_release);
        return tail - head;
    }

    // Consumer. The oldest item, if any.
    std::optional<T> pop() noexcept
    {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire))
            return std::nullopt;
        const T item = items_[head & kMask];
        head_.store(head + 1, std::memory_order_release);
        return item;
    }

    // Items waiting; exact on either side while the other is idle.
    std::size_t size() const noexcept
    {
        return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
    }

private:
    static constexpr std::size_t kMask = Capacity - 1;
    // Producer and consumer counters on lines of their own, so that each
    // side's writes do not keep invalidating the other's cache.
    static constexpr std::size_t kLine = 64;

    alignas(kLine) std::atomic<std::size_t> head_ {0}; // next item to take; written by the consumer
    alignas(kLine) std::atomic<std::size_t> tail_ {0}; // next free place; written by the producer
    std::size_t headCache_ = 0; // the producer's last view of head_
    alignas(kLine) std::array<T, Capacity> items_ {};
};

} // namespace kelvane::audio
