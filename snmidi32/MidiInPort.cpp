#include "MidiInPort.h"

MidiInPort::MidiInPort(std::unique_ptr<InputSource> source, const SnMidiWindow *window) : source(std::move(source))
{
    if (window)
        this->window = *window;
}

MidiInPort::~MidiInPort()
{
    stop();
}

void MidiInPort::start(int64_t zeroMicros)
{
    source->start(*this, zeroMicros);
}

void MidiInPort::stop()
{
    source->stop();
}

MIDIEVENT *MidiInPort::next()
{
    std::lock_guard<std::mutex> guard(queueLock);
    if (queue.empty())
        return nullptr;
    current = queue.front();
    queue.pop_front();
    return &current;
}

void MidiInPort::deliver(uint8_t status, uint8_t data1, uint8_t data2, int64_t micros)
{
    // Channel and common messages only: SysEx is not delivered, nor are system real-time
    // messages (clock, active sensing), which carry no music and would only make the
    // toolkit carry their times into the next record.
    if (status < 0x80 || status == 0xF0 || status >= 0xF8)
        return;
    MIDIEVENT record{};
    record.time = uint32_t(uint64_t(micros));
    record.status = status;
    record.data1 = data1 & 0x7F;
    record.data2 = data2 & 0x7F;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        if (queue.size() >= queueCapacity)
            return;
        queue.push_back(record);
    }
    if (window.post)
        window.post(window.context, SNMIDI_MSG_MIM_DATA, 0, 0);
}

void MidiInPort::lost()
{
    if (window.post)
        window.post(window.context, SNMIDI_MSG_MIM_CLOSE, 0, 0);
}
