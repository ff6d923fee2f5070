#pragma once

#include <cstddef>
#include <cstdint>

// What an output device does with a short channel message (2 or 3 bytes, data bytes already 7-bit).
// Backends are shared by every port open on the device and are called from the GUI thread
// and, for ports linked to a clock, from the clock's thread.
class OutputBackend {
public:
    virtual ~OutputBackend() = default;
    // due: when the message is to sound, in microseconds of CLOCK_MONOTONIC; 0 means at once.
    // A backend that cannot wait sends at once.
    virtual void send(const uint8_t *message, size_t length, int64_t due) = 0;
    // Forgets the messages sent with a due time that have not sounded yet.
    virtual void dropScheduled() {}
};
