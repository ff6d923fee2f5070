#pragma once

#include "AlsaSequencer.h"
#include "InputSource.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

typedef struct snd_midi_event snd_midi_event_t;

// An ALSA sequencer port we read from (an e-drum module, a keyboard), through a port of our
// own subscribed to it; a thread polls it and stamps each message with its arrival time.
class AlsaInput final : public InputSource {
public:
    static std::unique_ptr<AlsaInput> open(const AlsaSequencer::Port &source);
    ~AlsaInput() override;

    void start(Sink &sink, int64_t zeroMicros) override;
    void stop() override;

private:
    AlsaInput(std::unique_ptr<AlsaSequencer> sequencer, snd_midi_event_t *decoder, int wakeDescriptor);
    void run(Sink &sink);

    std::unique_ptr<AlsaSequencer> sequencer;
    snd_midi_event_t *decoder;  // owned
    int wakeDescriptor;         // owned eventfd that ends the thread's poll
    std::mutex controlLock;
    std::atomic<bool> stopping{false};
    std::thread thread;  // last: joined before the members it uses go away
};
