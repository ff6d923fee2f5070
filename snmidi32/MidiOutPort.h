#pragma once

#include "BeatListener.h"
#include "HandleTable.h"
#include "SnMidi32.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class CaptureTap;
class OutputBackend;
class SyncClock;

// An open output device. Without a clock a message goes out at once, or, when it is put while a
// beat is being handled, is scheduled to sound at that beat's due time plus the output latency;
// linked to a clock, records wait in a bounded queue and go out when their delta time in beats
// has passed.
class MidiOutPort final : public HandleObject, public BeatListener {
public:
    MidiOutPort(std::shared_ptr<OutputBackend> backend, uint16_t device, CaptureTap &capture,
                const SnMidiWindow *window, const std::shared_ptr<SyncClock> &clock, int64_t latencyMicros = 0);

    static constexpr size_t queueCapacity = 1024;

    // 0 when taken; non-zero when the queue is full (SNMIDI_MSG_OUT_BUFFER_READY follows).
    // beatDue: the due time (us of CLOCK_MONOTONIC) of the beat whose handling puts this
    // message, or 0 when it is put at any other moment.
    uint16_t put(const MIDIEVENT &event, int64_t beatDue = 0);
    void reset();
    void flush();
    // After close returns, the port posts nothing more.
    void close();

    // What put adds to a beat's due time (us): the output latency, or 0 while linked to a clock.
    int64_t latency() const { return clocked.load() ? 0 : latencyMicros; }

    void beat(uint32_t position) override;  // on the clock's thread
    void clockClosed() override;

private:
    // onClockThread: the capture line goes through the capture's ring, not straight to the file.
    void send(const uint8_t *message, size_t length, int64_t due, bool onClockThread = false);
    void sendRecord(const MIDIEVENT &record, int64_t due, bool onClockThread);
    void drain(uint32_t position, bool onClockThread);  // queueLock held

    std::shared_ptr<OutputBackend> backend;
    uint16_t device;
    CaptureTap &capture;
    int64_t latencyMicros;
    SnMidiWindow window{};
    std::weak_ptr<SyncClock> clock;
    std::atomic<bool> clocked{false};

    std::mutex queueLock;
    std::array<MIDIEVENT, queueCapacity> queue{};
    size_t head = 0;
    size_t size = 0;
    uint32_t lastBeat = 0;   // beat on which the previous queued record went out
    bool refused = false;    // a put was refused: announce room when the queue is half empty
    bool closed = false;
};
