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

// An open output device. Without a clock every message goes out at once; linked to a clock,
// records wait in a bounded queue and go out when their delta time in beats has passed.
class MidiOutPort final : public HandleObject, public BeatListener {
public:
    MidiOutPort(std::shared_ptr<OutputBackend> backend, uint16_t device, CaptureTap &capture,
                const SnMidiWindow *window, const std::shared_ptr<SyncClock> &clock);

    static constexpr size_t queueCapacity = 1024;

    // 0 when taken; non-zero when the queue is full (SNMIDI_MSG_OUT_BUFFER_READY follows).
    uint16_t put(const MIDIEVENT &event);
    void reset();
    void flush();
    // After close returns, the port posts nothing more.
    void close();

    void beat(uint32_t position) override;  // on the clock's thread
    void clockClosed() override;

private:
    void send(const uint8_t *message, size_t length);
    void sendRecord(const MIDIEVENT &record);
    void drain(uint32_t position);  // queueLock held

    std::shared_ptr<OutputBackend> backend;
    uint16_t device;
    CaptureTap &capture;
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
