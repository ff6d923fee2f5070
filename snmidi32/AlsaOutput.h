#pragma once

#include "AlsaSequencer.h"
#include "OutputBackend.h"

#include <memory>
#include <mutex>

typedef struct snd_midi_event snd_midi_event_t;

// An ALSA sequencer port that receives our messages: at once (direct delivery), or, when a
// message has a due time, as an event scheduled on a real-time queue of ours, so the kernel
// delivers it on time whatever our threads are doing.
class AlsaOutput final : public OutputBackend {
public:
    // Null when the port cannot be reached.
    static std::unique_ptr<AlsaOutput> open(const AlsaSequencer::Port &target);
    ~AlsaOutput() override;

    void send(const uint8_t *message, size_t length, int64_t due) override;
    void dropScheduled() override;

private:
    AlsaOutput(std::unique_ptr<AlsaSequencer> sequencer, snd_midi_event_t *encoder, int queue);

    std::unique_ptr<AlsaSequencer> sequencer;  // connected through its port to the target
    snd_midi_event_t *encoder;  // owned
    int queue;                  // ours; -1 when none could be had (everything then goes direct)
    std::mutex sending;         // the GUI thread and a clock thread may both send
};
