#pragma once

#include "BeatListener.h"
#include "HandleTable.h"
#include "SnMidi32.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The sync clock: a thread of its own that sleeps to absolute deadlines on CLOCK_MONOTONIC and
// posts one beat per tempo microseconds, so beats never drift however long the song. The thread
// lives from open to close and waits between a stop and the next start, so that starting (which
// the player does on every tempo change) never waits for a new thread to be scheduled.
class SyncClock final : public HandleObject {
public:
    explicit SyncClock(const SnMidiWindow *window);
    ~SyncClock() override;

    static constexpr uint32_t minimumTempo = 100;  // faster beats would flood the event loop

    uint16_t setTempo(uint32_t microseconds);
    uint32_t tempo() const { return tempoMicros.load(); }
    void setResolution(uint16_t ticks) { ticksPerQuarter.store(ticks); }
    uint16_t resolution() const { return ticksPerQuarter.load(); }
    uint32_t position() const { return beats.load(); }

    void start(bool fromZero);
    // Returns when the beats have stopped; nothing is posted for this clock afterwards.
    void stop(bool announce);

    // Listeners (ports linked at open) hear each beat on the clock's thread.
    void link(std::shared_ptr<BeatListener> listener);
    void unlink(const BeatListener *listener);
    void unlinkAll();

private:
    void run();
    void beat(int64_t startNanos);
    bool waitUntil(int64_t &deadline, int64_t last);
    void wakeUp();
    void post(uint32_t message, uintptr_t wParam, intptr_t lParam = 0);

    SnMidiWindow window{};
    std::atomic<uint32_t> tempoMicros{7812};  // 120 beats per minute at 64 ticks per quarter note
    std::atomic<uint16_t> ticksPerQuarter{64};
    std::atomic<uint32_t> beats{0};
    std::atomic<bool> stopping{false};
    std::atomic<bool> tempoChanged{false};
    // Bumped by stop, tempo change and close; the beat loop sleeps on it as a futex with an
    // absolute deadline, so any of them ends the wait at once, however long the beat.
    std::atomic<uint32_t> wakes{0};
    std::mutex wakeLock;
    std::condition_variable wake;     // start and close, while not beating
    std::condition_variable stopped;  // the thread has left the beat loop
    bool beating = false;             // wakeLock: between start and the thread's stop
    bool closing = false;             // wakeLock
    int64_t startNanos = 0;           // wakeLock
    std::atomic<int> linkedCount{0};
    std::mutex listenersLock;
    std::vector<std::shared_ptr<BeatListener>> listeners;
    std::thread thread;  // last: joined before the members it uses go away
};
