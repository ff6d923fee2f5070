#pragma once

#include "AlsaSequencer.h"
#include "HandleTable.h"
#include "SnMidi32.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

typedef struct snd_midi_event snd_midi_event_t;

// An ALSA sequencer port we read from (an e-drum module, a keyboard). A thread of its own
// queues each short message and posts SNMIDI_MSG_MIM_DATA; GetMidiIn hands the records out.
// A record's time is the number of milliseconds since the previous one (or since the start).
class MidiInPort final : public HandleObject {
public:
    static std::unique_ptr<MidiInPort> open(const AlsaSequencer::Port &source, const SnMidiWindow *window);
    ~MidiInPort() override;

    static constexpr size_t queueCapacity = 4096;

    void start();
    // After stop returns nothing more is posted.
    void stop();
    // The next queued record, valid until the next call; null when none is waiting.
    MIDIEVENT *next();

private:
    MidiInPort(std::unique_ptr<AlsaSequencer> sequencer, snd_midi_event_t *decoder, int wakeDescriptor,
               const SnMidiWindow *window);
    void run();
    void receive(const uint8_t *bytes, long length, int64_t nanos);

    std::unique_ptr<AlsaSequencer> sequencer;
    snd_midi_event_t *decoder;  // owned
    int wakeDescriptor;         // owned eventfd that ends the thread's poll
    SnMidiWindow window{};
    std::mutex queueLock;
    std::deque<MIDIEVENT> queue;
    MIDIEVENT current{};
    int64_t previousNanos = 0;
    std::mutex controlLock;
    std::atomic<bool> stopping{false};
    std::thread thread;  // last: joined before the members it uses go away
};
