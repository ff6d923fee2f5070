#pragma once

#include <cstdint>

// Where an input port's short messages come from (an ALSA sequencer port, a replay file).
// A source delivers from a thread of its own, between start and stop.
class InputSource {
public:
    // What a source hands each message to; time is the arrival on CLOCK_MONOTONIC, in us.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void deliver(uint8_t status, uint8_t data1, uint8_t data2, int64_t micros) = 0;
        // The device went away (unplugged); nothing more will be delivered.
        virtual void lost() = 0;
    };

    virtual ~InputSource() = default;
    // zeroMicros: the CLOCK_MONOTONIC time (us) that a replay file's times count from.
    virtual void start(Sink &sink, int64_t zeroMicros) = 0;
    // After stop returns nothing more is delivered.
    virtual void stop() = 0;
};

// Microseconds of CLOCK_MONOTONIC.
int64_t monotonicMicros();
