#include "AlsaInput.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

std::unique_ptr<AlsaInput> AlsaInput::open(const AlsaSequencer::Port &source)
{
    std::unique_ptr<AlsaSequencer> sequencer = AlsaSequencer::connect(source, AlsaSequencer::Direction::fromPeer);
    if (!sequencer)
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
    return std::unique_ptr<AlsaInput>(new AlsaInput(std::move(sequencer), decoder, wake));
}

AlsaInput::AlsaInput(std::unique_ptr<AlsaSequencer> sequencer, snd_midi_event_t *decoder, int wakeDescriptor)
    : sequencer(std::move(sequencer)), decoder(decoder), wakeDescriptor(wakeDescriptor)
{
}

AlsaInput::~AlsaInput()
{
    stop();
    close(wakeDescriptor);
    snd_midi_event_free(decoder);
}

void AlsaInput::start(Sink &sink, int64_t)
{
    std::lock_guard<std::mutex> control(controlLock);
    if (thread.joinable())
        return;
    stopping.store(false);
    uint64_t drain = 0;
    (void)!read(wakeDescriptor, &drain, sizeof drain);
    thread = std::thread([this, &sink] { run(sink); });
}

void AlsaInput::stop()
{
    std::lock_guard<std::mutex> control(controlLock);
    if (!thread.joinable())
        return;
    stopping.store(true);
    const uint64_t one = 1;
    (void)!write(wakeDescriptor, &one, sizeof one);
    thread.join();
}

void AlsaInput::run(Sink &sink)
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
        // Every POLLERR/POLLHUP on the sequencer means the device went away: stop quietly.
        for (size_t i = 1; i < descriptors.size(); ++i) {
            if (descriptors[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                sink.lost();
                return;
            }
        }
        snd_seq_event_t *event = nullptr;
        int result = 0;
        while (!stopping.load() && (result = snd_seq_event_input(seq, &event)) >= 0 && event) {
            const int64_t arrival = monotonicMicros();
            uint8_t bytes[16];
            const long length = snd_midi_event_decode(decoder, bytes, sizeof bytes, event);
            if (length >= 1 && length <= 3)
                sink.deliver(bytes[0], length > 1 ? bytes[1] : 0, length > 2 ? bytes[2] : 0, arrival);
        }
        if (result < 0 && result != -EAGAIN && result != -ENOSPC && result != -EINTR) {
            sink.lost();  // the sequencer failed under us: no more input, no crash
            return;
        }
    }
}
