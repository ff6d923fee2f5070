#pragma once

#include "HandleTable.h"
#include "InputSource.h"
#include "SnMidi32.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

// An open input device: its source (ALSA port or replay file) delivers short messages from a
// thread of its own; each is queued, SNMIDI_MSG_MIM_DATA is posted, and GetMidiIn hands the
// records out. A record's time is its arrival in microseconds of CLOCK_MONOTONIC (a replay
// line's own time), modulo 2^32.
class MidiInPort final : public HandleObject, private InputSource::Sink {
public:
    MidiInPort(std::unique_ptr<InputSource> source, const SnMidiWindow *window);
    ~MidiInPort() override;

    static constexpr size_t queueCapacity = 4096;

    // zeroMicros: what a replay file's times count from (CLOCK_MONOTONIC, us).
    void start(int64_t zeroMicros);
    // After stop returns nothing more is posted.
    void stop();
    // The next queued record, valid until the next call; null when none is waiting.
    MIDIEVENT *next();

private:
    void deliver(uint8_t status, uint8_t data1, uint8_t data2, int64_t micros) override;
    void lost() override;

    SnMidiWindow window{};
    std::mutex queueLock;
    std::deque<MIDIEVENT> queue;
    MIDIEVENT current{};
    std::unique_ptr<InputSource> source;  // last: stopped before the queue goes away
};
