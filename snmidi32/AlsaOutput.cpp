#include "AlsaOutput.h"

#include <alsa/asoundlib.h>
#include <ctime>

namespace {

int64_t nowMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// A queue of our own, running on the high-resolution timer where the kernel has one (the
// default system timer ticks at the kernel's HZ, too coarse for drums). -1 when none can be had.
int startQueue(snd_seq_t *seq)
{
    const int queue = snd_seq_alloc_named_queue(seq, "Tamborly");
    if (queue < 0)
        return -1;
    snd_timer_id_t *timer = nullptr;
    snd_timer_id_alloca(&timer);
    snd_timer_id_set_class(timer, SND_TIMER_CLASS_GLOBAL);
    snd_timer_id_set_device(timer, SND_TIMER_GLOBAL_HRTIMER);
    snd_seq_queue_timer_t *queueTimer = nullptr;
    snd_seq_queue_timer_alloca(&queueTimer);
    snd_seq_queue_timer_set_type(queueTimer, SND_SEQ_TIMER_ALSA);
    snd_seq_queue_timer_set_id(queueTimer, timer);
    snd_seq_set_queue_timer(seq, queue, queueTimer);  // refused: the system timer stays
    if (snd_seq_start_queue(seq, queue, nullptr) < 0 || snd_seq_drain_output(seq) < 0) {
        snd_seq_free_queue(seq, queue);
        return -1;
    }
    return queue;
}

} // namespace

std::unique_ptr<AlsaOutput> AlsaOutput::open(const AlsaSequencer::Port &target)
{
    std::unique_ptr<AlsaSequencer> sequencer = AlsaSequencer::connect(target, AlsaSequencer::Direction::toPeer);
    if (!sequencer)
        return nullptr;
    snd_midi_event_t *encoder = nullptr;
    if (snd_midi_event_new(16, &encoder) < 0 || !encoder)
        return nullptr;
    const int queue = startQueue(sequencer->handle());
    return std::unique_ptr<AlsaOutput>(new AlsaOutput(std::move(sequencer), encoder, queue));
}

AlsaOutput::AlsaOutput(std::unique_ptr<AlsaSequencer> sequencer, snd_midi_event_t *encoder, int queue)
    : sequencer(std::move(sequencer)), encoder(encoder), queue(queue)
{
}

AlsaOutput::~AlsaOutput()
{
    if (queue >= 0)
        snd_seq_free_queue(sequencer->handle(), queue);
    snd_midi_event_free(encoder);
}

void AlsaOutput::send(const uint8_t *message, size_t length, int64_t due)
{
    std::lock_guard<std::mutex> lock(sending);
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_midi_event_reset_encode(encoder);
    if (snd_midi_event_encode(encoder, message, long(length), &event) <= 0 || event.type == SND_SEQ_EVENT_NONE)
        return;
    snd_seq_ev_set_source(&event, sequencer->port());
    snd_seq_ev_set_subs(&event);
    const int64_t wait = due != 0 ? due - nowMicros() : 0;
    if (queue >= 0 && wait > 0) {
        // Relative to the queue's current time: the kernel delivers it when it is due.
        snd_seq_real_time_t in{};
        in.tv_sec = unsigned(wait / 1000000);
        in.tv_nsec = unsigned(wait % 1000000 * 1000);
        snd_seq_ev_schedule_real(&event, queue, 1, &in);
    } else {
        snd_seq_ev_set_direct(&event);
    }
    // Non-blocking: a receiver that stopped reading loses messages instead of freezing the window.
    snd_seq_event_output_direct(sequencer->handle(), &event);
}

void AlsaOutput::dropScheduled()
{
    if (queue < 0)
        return;
    std::lock_guard<std::mutex> lock(sending);
    snd_seq_remove_events_t *remove = nullptr;
    snd_seq_remove_events_alloca(&remove);
    snd_seq_remove_events_set_queue(remove, queue);
    snd_seq_remove_events_set_condition(remove, SND_SEQ_REMOVE_OUTPUT);
    snd_seq_remove_events(sequencer->handle(), remove);
}
