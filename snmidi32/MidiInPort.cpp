#include "MidiInPort.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace {

int64_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

} // namespace

std::unique_ptr<MidiInPort> MidiInPort::open(const AlsaSequencer::Port &source, const SnMidiWindow *window)
{
    std::unique_ptr<AlsaSequencer> sequencer = AlsaSequencer::open();
    if (!sequencer)
        return nullptr;
    snd_seq_t *seq = sequencer->handle();
    const int port = snd_seq_create_simple_port(seq, "Tamborly in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0 || snd_seq_connect_from(seq, port, source.client, source.port) < 0)
        return nullptr;
    snd_midi_event_t *decoder = nullptr;
    if (snd_midi_event_new(256, &decoder) < 0 || !decoder)
        return nullptr;
    snd_midi_event_no_status(decoder, 1);  // every record carries its own status byte
    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        snd_midi_event_free(decoder);
        return nullptr;
    }
    return std::unique_ptr<MidiInPort>(new MidiInPort(std::move(sequencer), decoder, wake, window));
}

MidiInPort::MidiInPort(std::unique_ptr<AlsaSequencer> sequencer, snd_midi_event_t *decoder, int wakeDescriptor,
                       const SnMidiWindow *window)
    : sequencer(std::move(sequencer)), decoder(decoder), wakeDescriptor(wakeDescriptor)
{
    if (window)
        this->window = *window;
}

MidiInPort::~MidiInPort()
{
    stop();
    close(wakeDescriptor);
    snd_midi_event_free(decoder);
}

void MidiInPort::start()
{
    std::lock_guard<std::mutex> control(controlLock);
    if (thread.joinable())
        return;
    stopping.store(false);
    uint64_t drain = 0;
    (void)!read(wakeDescriptor, &drain, sizeof drain);
    previousNanos = now();
    thread = std::thread([this] { run(); });
}

void MidiInPort::stop()
{
    std::lock_guard<std::mutex> control(controlLock);
    if (!thread.joinable())
        return;
    stopping.store(true);
    const uint64_t one = 1;
    (void)!write(wakeDescriptor, &one, sizeof one);
    thread.join();
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

void MidiInPort::receive(const uint8_t *bytes, long length, int64_t nanos)
{
    // Short messages only; SysEx is not delivered.
    if (length < 1 || length > 3 || bytes[0] < 0x80 || bytes[0] == 0xF0)
        return;
    MIDIEVENT record{};
    record.time = uint32_t((nanos - previousNanos) / 1000000);
    previousNanos += int64_t(record.time) * 1000000;
    record.status = bytes[0];
    record.data1 = length > 1 ? bytes[1] : 0;
    record.data2 = length > 2 ? bytes[2] : 0;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        if (queue.size() >= queueCapacity)
            return;
        queue.push_back(record);
    }
    if (window.post)
        window.post(window.context, SNMIDI_MSG_MIM_DATA, 0, 0);
}

void MidiInPort::run()
{
    snd_seq_t *seq = sequencer->handle();
    const int count = snd_seq_poll_descriptors_count(seq, POLLIN);
    std::vector<pollfd> descriptors(size_t(count > 0 ? count : 0) + 1);
    descriptors[0] = {wakeDescriptor, POLLIN, 0};
    if (count > 0)
        snd_seq_poll_descriptors(seq, descriptors.data() + 1, unsigned(count), POLLIN);
    while (!stopping.load()) {
        if (poll(descriptors.data(), descriptors.size(), -1) < 0 && errno != EINTR)
            break;
        if (stopping.load())
            break;
        snd_seq_event_t *event = nullptr;
        while (!stopping.load() && snd_seq_event_input(seq, &event) >= 0 && event) {
            uint8_t bytes[16];
            const long length = snd_midi_event_decode(decoder, bytes, sizeof bytes, event);
            receive(bytes, length, now());
        }
    }
}
