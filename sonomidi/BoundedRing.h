#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

// A fixed-size queue that any number of threads may push to and one thread pops from, without
// locks or allocation (each slot carries a sequence number that tells whose turn it is). Used
// where a time-critical thread (clock, audio) hands data over: inside the driver library, and
// where its messages reach the GUI thread (the hidden windows).
template <class T, size_t Capacity>
class BoundedRing {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
    BoundedRing()
    {
        for (size_t i = 0; i < Capacity; ++i)
            cells[i].sequence.store(i, std::memory_order_relaxed);
    }

    // False when full; the value is then not queued.
    bool push(const T &value)
    {
        size_t position = tail.load(std::memory_order_relaxed);
        for (;;) {
            Slot &slot = cells[position & (Capacity - 1)];
            const size_t sequence = slot.sequence.load(std::memory_order_acquire);
            const intptr_t difference = intptr_t(sequence) - intptr_t(position);
            if (difference == 0) {
                if (tail.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
                    slot.value = value;
                    slot.sequence.store(position + 1, std::memory_order_release);
                    return true;
                }
            } else if (difference < 0) {
                return false;
            } else {
                position = tail.load(std::memory_order_relaxed);
            }
        }
    }

    // Only the one consumer thread calls this; false when nothing is ready.
    bool pop(T &value)
    {
        Slot &slot = cells[head & (Capacity - 1)];
        if (slot.sequence.load(std::memory_order_acquire) != head + 1)
            return false;
        value = slot.value;
        slot.sequence.store(head + Capacity, std::memory_order_release);
        ++head;
        return true;
    }

private:
    struct Slot {
        std::atomic<size_t> sequence{0};
        T value{};
    };
    std::array<Slot, Capacity> cells;  // not "slots": Qt takes that word for a keyword
    alignas(64) std::atomic<size_t> tail{0};
    alignas(64) size_t head = 0;
};
