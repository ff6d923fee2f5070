#include "MidiOutPort.h"

#include "CaptureTap.h"
#include "OutputBackend.h"
#include "SyncClock.h"

#include <ctime>

namespace {

int64_t nowMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

} // namespace

MidiOutPort::MidiOutPort(std::shared_ptr<OutputBackend> backend, uint16_t device, CaptureTap &capture,
                         const SnMidiWindow *window, const std::shared_ptr<SyncClock> &clock, int64_t latencyMicros)
    : backend(std::move(backend)), device(device), capture(capture), latencyMicros(latencyMicros), clock(clock)
{
    if (window)
        this->window = *window;
    if (clock) {
        clocked.store(true);
        lastBeat = clock->position();
    }
}

// due 0: at once. The capture line's last field is when the message is to sound.
void MidiOutPort::send(const uint8_t *message, size_t length, int64_t due, bool onClockThread)
{
    backend->send(message, length, due);
    const int64_t now = nowMicros();
    if (onClockThread)
        capture.recordLater(device, message, length, now, due ? due : now);
    else
        capture.record(device, message, length, now, due ? due : now);
}

// Channel messages only: data bytes masked to 7 bits, program change and channel pressure
// carry one data byte. The caller has already dropped everything else.
void MidiOutPort::sendRecord(const MIDIEVENT &record, int64_t due, bool onClockThread)
{
    const uint8_t message[3] = {record.status, uint8_t(record.data1 & 0x7F), uint8_t(record.data2 & 0x7F)};
    const size_t length = (record.status & 0xE0) == 0xC0 ? 2 : 3;
    send(message, length, due, onClockThread);
}

uint16_t MidiOutPort::put(const MIDIEVENT &event, int64_t beatDue)
{
    if (event.status < 0x80 || event.status >= 0xF0)
        return 0;
    if (!clocked.load()) {
        // Every message of a beat sounds a fixed latency after the beat's deadline, however
        // late the GUI thread got to it; one that would already be late goes out at once.
        int64_t due = 0;
        if (beatDue != 0 && beatDue + latencyMicros > nowMicros())
            due = beatDue + latencyMicros;
        sendRecord(event, due, false);
        return 0;
    }
    std::lock_guard<std::mutex> guard(queueLock);
    if (size == queueCapacity) {
        refused = true;
        return SNMIDI_ERR_FAILED;  // full until the clock has sent half of it
    }
    queue[(head + size) % queueCapacity] = event;
    ++size;
    if (std::shared_ptr<SyncClock> linked = clock.lock())
        drain(linked->position(), false);
    return 0;
}

void MidiOutPort::drain(uint32_t position, bool onClockThread)
{
    while (size > 0) {
        const MIDIEVENT &front = queue[head];
        const uint64_t due = uint64_t(lastBeat) + front.time;
        if (due > position)
            break;
        sendRecord(front, 0, onClockThread);
        lastBeat = uint32_t(due);
        head = (head + 1) % queueCapacity;
        --size;
    }
}

void MidiOutPort::beat(uint32_t position)
{
    bool announce = false;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        drain(position, true);
        if (refused && size <= queueCapacity / 2 && !closed) {
            refused = false;
            announce = true;
        }
    }
    if (announce && window.post)
        window.post(window.context, SNMIDI_MSG_OUT_BUFFER_READY, 0, 0);
}

void MidiOutPort::reset()
{
    // Silencing must also stop what is scheduled to sound a few milliseconds from now.
    backend->dropScheduled();
    for (uint8_t channel = 0; channel < 16; ++channel) {
        const uint8_t allSoundOff[3] = {uint8_t(0xB0 | channel), 120, 0};
        const uint8_t allNotesOff[3] = {uint8_t(0xB0 | channel), 123, 0};
        send(allSoundOff, 3, 0);
        send(allNotesOff, 3, 0);
    }
}

void MidiOutPort::flush()
{
    backend->dropScheduled();
    std::lock_guard<std::mutex> guard(queueLock);
    head = 0;
    size = 0;
    if (std::shared_ptr<SyncClock> linked = clock.lock())
        lastBeat = linked->position();
}

void MidiOutPort::close()
{
    if (std::shared_ptr<SyncClock> linked = clock.lock())
        linked->unlink(this);
    // Lines of what the clock's thread sent are written by the capture's writer: once closed,
    // the port's capture is complete.
    capture.waitWritten();
    std::lock_guard<std::mutex> guard(queueLock);
    closed = true;
}

void MidiOutPort::clockClosed()
{
    std::lock_guard<std::mutex> guard(queueLock);
    clocked.store(false);
    head = 0;
    size = 0;
}
