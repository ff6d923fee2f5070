#pragma once

#include "BoundedRing.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

typedef struct _fluid_synth_t fluid_synth_t;

// The messages waiting for the synth's audio thread, each with the time it is due to sound.
// Any thread posts; the audio thread, before rendering each 64-frame step, applies every message
// due before that step ends, in due-time order (messages due at the same time keep their order).
class TimedMessages {
public:
    explicit TimedMessages(fluid_synth_t *synth) : synth(synth) {}

    // due: microseconds of CLOCK_MONOTONIC, or 0 for "now" (it then keeps its place in time
    // even when the audio thread runs late).
    void post(const uint8_t *message, size_t length, int64_t due);
    // Forgets the scheduled messages posted so far that have not sounded (a reset silences the
    // device: notes due a few milliseconds later must not sound after it). Any thread.
    void dropScheduled();
    // Audio thread only.
    void applyUntil(int64_t stepEnd);

    // Applies one short channel message to the synth at once.
    static void apply(fluid_synth_t *synth, const uint8_t *message, size_t length);

private:
    struct Entry {
        int64_t due = 0;
        uint64_t order = 0;
        uint8_t bytes[3] = {};
        uint8_t length = 0;
        bool scheduled = false;
    };
    void take(const Entry &entry);

    fluid_synth_t *synth;  // owned by the BuiltInSynth that owns this queue
    BoundedRing<Entry, 4096> incoming;
    std::atomic<uint64_t> posted{0};
    std::atomic<uint64_t> dropBefore{0};
    // Audio thread: entries taken from the ring and not yet due, sorted by (due, order).
    static constexpr size_t pendingCapacity = 4096;
    std::array<Entry, pendingCapacity> pending{};
    size_t pendingCount = 0;
};
