#pragma once

#include <cstdint>

// What a clock tells the things linked to it (output ports with queued records). Keeping it
// this small lets the clock know nothing about ports.
class BeatListener {
public:
    virtual ~BeatListener() = default;
    // On the clock's thread, after the beat has been posted.
    virtual void beat(uint32_t position) = 0;
    // The clock is going away: from now on, send at once.
    virtual void clockClosed() = 0;
};
