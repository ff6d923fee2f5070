#include "TimedMessages.h"

#include <fluidsynth.h>

#include <ctime>


void TimedMessages::post(const uint8_t *message, size_t length, int64_t due)
{
    Entry entry;
    entry.scheduled = due != 0;
    if (due == 0) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        due = int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
    }
    entry.due = due;
    entry.order = posted.fetch_add(1, std::memory_order_relaxed) + 1;
    entry.length = uint8_t(length > 3 ? 3 : length);
    for (size_t i = 0; i < entry.length; ++i)
        entry.bytes[i] = message[i];
    // Full only when the audio thread has stopped taking messages (a stalled sound server):
    // the synth's own API is safe from any thread, so the message still reaches it.
    if (!incoming.push(entry))
        apply(synth, message, length);
}

void TimedMessages::dropScheduled()
{
    dropBefore.store(posted.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void TimedMessages::take(const Entry &entry)
{
    if (entry.scheduled && entry.order < dropBefore.load(std::memory_order_acquire))
        return;
    if (pendingCount == pendingCapacity) {
        // No room to wait: the earliest goes out now.
        apply(synth, pending[0].bytes, pending[0].length);
        for (size_t i = 1; i < pendingCount; ++i)
            pending[i - 1] = pending[i];
        --pendingCount;
    }
    size_t i = pendingCount++;
    for (; i > 0; --i) {
        const Entry &before = pending[i - 1];
        if (before.due < entry.due || (before.due == entry.due && before.order < entry.order))
            break;
        pending[i] = before;
    }
    pending[i] = entry;
}

void TimedMessages::applyUntil(int64_t stepEnd)
{
    Entry entry;
    while (incoming.pop(entry))
        take(entry);
    const uint64_t dropped = dropBefore.load(std::memory_order_acquire);
    size_t kept = 0;
    for (size_t i = 0; i < pendingCount; ++i) {
        const Entry &e = pending[i];
        if (e.scheduled && e.order < dropped)
            continue;
        if (e.due < stepEnd) {
            apply(synth, e.bytes, e.length);
        } else {
            pending[kept++] = e;
        }
    }
    pendingCount = kept;
}

void TimedMessages::apply(fluid_synth_t *s, const uint8_t *message, size_t length)
{
    if (!s || length < 2)
        return;
    const int channel = message[0] & 0x0F;
    const int data1 = message[1];
    const int data2 = length > 2 ? message[2] : 0;
    switch (message[0] & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, channel, data1); break;
    case 0x90: fluid_synth_noteon(s, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(s, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(s, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(s, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(s, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(s, channel, data1 | (data2 << 7)); break;
    default: break;
    }
}
