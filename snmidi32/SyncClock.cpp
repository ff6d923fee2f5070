#include "SyncClock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <pthread.h>
#include <climits>
#include <linux/futex.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int64_t nanosPerMicro = 1000;
constexpr int64_t nanosPerSecond = 1000000000;
// A clock that fell this far behind (a suspended machine) starts a new grid instead of
// flooding the event loop with the beats it missed.
constexpr int64_t resyncNanos = nanosPerSecond;

int64_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * nanosPerSecond + t.tv_nsec;
}

// Sleeps until the absolute deadline on CLOCK_MONOTONIC or until word no longer holds seen,
// whichever comes first (the timer is as precise as clock_nanosleep's). Spurious returns are
// fine: the caller looks at the clock and the word again.
void futexWaitUntil(std::atomic<uint32_t> &word, uint32_t seen, int64_t deadline)
{
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
    timespec t{};
    t.tv_sec = time_t(deadline / nanosPerSecond);
    t.tv_nsec = long(deadline % nanosPerSecond);
    // FUTEX_WAIT_BITSET takes an absolute CLOCK_MONOTONIC time, unlike plain FUTEX_WAIT.
    syscall(SYS_futex, reinterpret_cast<uint32_t *>(&word), FUTEX_WAIT_BITSET_PRIVATE, seen, &t, nullptr,
            FUTEX_BITSET_MATCH_ANY);
}

void futexWakeAll(std::atomic<uint32_t> &word)
{
    syscall(SYS_futex, reinterpret_cast<uint32_t *>(&word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
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
        return SNMIDI_ERR_FAILED;
    tempoMicros.store(microseconds);
    tempoChanged.store(true);
    wakeUp();
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
        wakeUp();
        // A beat being posted now still arrives before we return; none after.
        stopped.wait(guard, [this] { return !beating; });
    }
    if (announce)
        post(SNMIDI_MSG_SYNC_DONE, beats.load());
}

void SyncClock::wakeUp()
{
    wakes.fetch_add(1, std::memory_order_release);
    futexWakeAll(wakes);
}

void SyncClock::link(std::shared_ptr<BeatListener> listener)
{
    std::lock_guard<std::mutex> guard(listenersLock);
    listeners.push_back(std::move(listener));
    linkedCount.store(int(listeners.size()));
}

void SyncClock::unlink(const BeatListener *listener)
{
    std::lock_guard<std::mutex> guard(listenersLock);
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [listener](const auto &l) { return l.get() == listener; }),
                    listeners.end());
    linkedCount.store(int(listeners.size()));
}

void SyncClock::unlinkAll()
{
    std::vector<std::shared_ptr<BeatListener>> released;
    {
        std::lock_guard<std::mutex> guard(listenersLock);
        released.swap(listeners);
        linkedCount.store(0);
    }
    for (const auto &listener : released)
        listener->clockClosed();
}

void SyncClock::post(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (window.post)
        window.post(window.context, message, wParam, lParam);
}

// Sleeps until the deadline; false when a stop ended the wait. A tempo change while waiting
// moves the deadline to the last beat plus the new tempo, so it takes effect from the next beat.
// Nothing here allocates or locks: a stop or tempo change bumps the futex word and wakes us.
bool SyncClock::waitUntil(int64_t &deadline, int64_t last)
{
    for (;;) {
        const uint32_t seen = wakes.load(std::memory_order_acquire);
        if (stopping.load(std::memory_order_acquire))
            return false;
        if (tempoChanged.exchange(false, std::memory_order_acq_rel))
            deadline = last + int64_t(tempoMicros.load(std::memory_order_relaxed)) * nanosPerMicro;
        if (now() >= deadline)
            return true;
        futexWaitUntil(wakes, seen, deadline);
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
    for (;;) {
        int64_t deadline = last + int64_t(tempoMicros.load(std::memory_order_relaxed)) * nanosPerMicro;
        if (!waitUntil(deadline, last))
            break;
        const uint32_t position = beats.fetch_add(1, std::memory_order_relaxed) + 1;
        // The beat first: linked ports come after it and never delay it.
        post(SNMIDI_MSG_BEAT, position, intptr_t(deadline / nanosPerMicro));
        if (linkedCount.load(std::memory_order_relaxed) > 0) {
            std::lock_guard<std::mutex> guard(listenersLock);
            for (const auto &listener : listeners)
                listener->beat(position);
        }
        last = deadline;
        if (now() - last > resyncNanos)
            last = now();
    }
}
