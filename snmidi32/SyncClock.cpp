#include "SyncClock.h"

#include "MidiOutPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

namespace {

constexpr int64_t nanosPerMicro = 1000;
constexpr int64_t nanosPerSecond = 1000000000;
// Waits longer than this go through a condition variable so that StopSync and SetTempo need
// not wait for them; the last stretch is always an absolute clock_nanosleep.
constexpr int64_t interruptibleNanos = 20 * 1000000LL;
constexpr int64_t nanosleepStretch = 2 * 1000000LL;
// A clock that fell this far behind (a suspended machine) starts a new grid instead of
// flooding the event loop with the beats it missed.
constexpr int64_t resyncNanos = nanosPerSecond;

int64_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * nanosPerSecond + t.tv_nsec;
}

void sleepUntil(int64_t deadline)
{
    timespec t{};
    t.tv_sec = time_t(deadline / nanosPerSecond);
    t.tv_nsec = long(deadline % nanosPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

} // namespace

SyncClock::SyncClock(const SnMidiWindow *window)
{
    if (window)
        this->window = *window;
    thread = std::thread([this] { run(); });
}

SyncClock::~SyncClock()
{
    stop(false);
    {
        std::lock_guard<std::mutex> guard(wakeLock);
        closing = true;
    }
    wake.notify_all();
    thread.join();
    unlinkAll();
}

uint16_t SyncClock::setTempo(uint32_t microseconds)
{
    if (microseconds < minimumTempo)
        return 1;
    tempoMicros.store(microseconds);
    {
        std::lock_guard<std::mutex> guard(wakeLock);
        tempoChanged.store(true);
    }
    wake.notify_all();
    return 0;
}

void SyncClock::start(bool fromZero)
{
    {
        std::lock_guard<std::mutex> guard(wakeLock);
        if (beating || closing)
            return;
        if (fromZero)
            beats.store(0);
        stopping.store(false);
        tempoChanged.store(false);
        startNanos = now();
        beating = true;
    }
    wake.notify_all();
}

void SyncClock::stop(bool announce)
{
    {
        std::unique_lock<std::mutex> guard(wakeLock);
        if (!beating)
            return;
        stopping.store(true);
        wake.notify_all();
        // A beat being posted now still arrives before we return; none after.
        stopped.wait(guard, [this] { return !beating; });
    }
    if (announce)
        post(SNMIDI_MSG_SYNC_DONE, beats.load());
}

void SyncClock::link(std::shared_ptr<MidiOutPort> port)
{
    std::lock_guard<std::mutex> guard(portsLock);
    ports.push_back(std::move(port));
    linkedCount.store(int(ports.size()));
}

void SyncClock::unlink(const MidiOutPort *port)
{
    std::lock_guard<std::mutex> guard(portsLock);
    ports.erase(std::remove_if(ports.begin(), ports.end(), [port](const auto &p) { return p.get() == port; }),
                ports.end());
    linkedCount.store(int(ports.size()));
}

void SyncClock::unlinkAll()
{
    std::vector<std::shared_ptr<MidiOutPort>> released;
    {
        std::lock_guard<std::mutex> guard(portsLock);
        released.swap(ports);
        linkedCount.store(0);
    }
    for (const auto &port : released)
        port->clockClosed();
}

void SyncClock::post(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (window.post)
        window.post(window.context, message, wParam, lParam);
}

// Sleeps until the deadline; a tempo change while waiting moves the deadline to the last
// beat plus the new tempo, so the change takes effect from the next beat.
void SyncClock::waitUntil(int64_t &deadline, int64_t last)
{
    for (;;) {
        if (deadline - now() > interruptibleNanos) {
            std::unique_lock<std::mutex> guard(wakeLock);
            const auto until = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(deadline - nanosleepStretch));
            wake.wait_until(guard, until, [this] { return stopping.load() || tempoChanged.load(); });
            if (stopping.load())
                return;
            if (tempoChanged.exchange(false)) {
                deadline = last + int64_t(tempoMicros.load()) * nanosPerMicro;
                continue;
            }
            if (deadline - now() > interruptibleNanos)
                continue;
        }
        sleepUntil(deadline);
        return;
    }
}

void SyncClock::run()
{
    // Timer slack would add tens of microseconds to every beat; a real-time priority, where the
    // system grants one, keeps a busy desktop from delaying the wake-up. The thread sleeps almost
    // all the time, so it cannot starve anything.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);

    std::unique_lock<std::mutex> guard(wakeLock);
    for (;;) {
        // A stop that came before the thread woke finds beating still set; beat() then returns at once.
        wake.wait(guard, [this] { return closing || beating; });
        if (closing)
            return;
        const int64_t start = startNanos;
        guard.unlock();
        beat(start);
        guard.lock();
        beating = false;
        stopped.notify_all();
    }
}

void SyncClock::beat(int64_t startNanos)
{
    int64_t last = startNanos;
    while (!stopping.load(std::memory_order_acquire)) {
        tempoChanged.store(false, std::memory_order_relaxed);
        int64_t deadline = last + int64_t(tempoMicros.load(std::memory_order_relaxed)) * nanosPerMicro;
        waitUntil(deadline, last);
        if (stopping.load(std::memory_order_acquire))
            break;
        const uint32_t position = beats.fetch_add(1, std::memory_order_relaxed) + 1;
        post(SNMIDI_MSG_BEAT, position, intptr_t(deadline / nanosPerMicro));
        if (linkedCount.load(std::memory_order_relaxed) > 0) {
            std::lock_guard<std::mutex> guard(portsLock);
            for (const auto &port : ports)
                port->beat(position);
        }
        last = deadline;
        if (now() - last > resyncNanos)
            last = now();
    }
}
