#pragma once

#include "AlsaSequencer.h"
#include "OutputBackend.h"

#include <memory>
#include <mutex>

typedef struct snd_midi_event snd_midi_event_t;

// An ALSA sequencer port that receives our messages at once (direct delivery, no queue).
class AlsaOutput final : public OutputBackend {
public:
    // Null when the port cannot be reached.
    static std::unique_ptr<AlsaOutput> open(const AlsaSequencer::Port &target);
    ~AlsaOutput() override;

    void send(const uint8_t *message, size_t length) override;

private:
    AlsaOutput(std::unique_ptr<AlsaSequencer> sequencer, int port, snd_midi_event_t *encoder);

    std::unique_ptr<AlsaSequencer> sequencer;
    int port;
    snd_midi_event_t *encoder;  // owned
    std::mutex sending;         // the GUI thread and a clock thread may both send
};
