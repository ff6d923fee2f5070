#include "AlsaOutput.h"

#include <alsa/asoundlib.h>

std::unique_ptr<AlsaOutput> AlsaOutput::open(const AlsaSequencer::Port &target)
{
    std::unique_ptr<AlsaSequencer> sequencer = AlsaSequencer::open();
    if (!sequencer)
        return nullptr;
    snd_seq_t *seq = sequencer->handle();
    const int port = snd_seq_create_simple_port(seq, "Tamborly out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0 || snd_seq_connect_to(seq, port, target.client, target.port) < 0)
        return nullptr;
    snd_midi_event_t *encoder = nullptr;
    if (snd_midi_event_new(16, &encoder) < 0 || !encoder)
        return nullptr;
    return std::unique_ptr<AlsaOutput>(new AlsaOutput(std::move(sequencer), port, encoder));
}

AlsaOutput::AlsaOutput(std::unique_ptr<AlsaSequencer> sequencer, int port, snd_midi_event_t *encoder)
    : sequencer(std::move(sequencer)), port(port), encoder(encoder)
{
}

AlsaOutput::~AlsaOutput()
{
    snd_midi_event_free(encoder);
}

void AlsaOutput::send(const uint8_t *message, size_t length)
{
    std::lock_guard<std::mutex> lock(sending);
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_midi_event_reset_encode(encoder);
    if (snd_midi_event_encode(encoder, message, long(length), &event) <= 0 || event.type == SND_SEQ_EVENT_NONE)
        return;
    snd_seq_ev_set_source(&event, port);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    // Non-blocking: a receiver that stopped reading loses messages instead of freezing the window.
    snd_seq_event_output_direct(sequencer->handle(), &event);
}
