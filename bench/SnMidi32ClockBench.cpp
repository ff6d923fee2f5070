// The sync clock at 240 beats per minute (3906 us): how far each beat arrives at the sink from
// the ideal grid that starts at StartSync, and how far the last one has drifted.
#include "SnMidi32Bench.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace {

struct Arrivals {
    std::vector<long long> nanos;
    std::atomic<size_t> count{0};
};

void post(void *context, uint32_t message, uintptr_t, intptr_t)
{
    if (message != SNMIDI_MSG_BEAT)
        return;
    auto *arrivals = static_cast<Arrivals *>(context);
    const size_t i = arrivals->count.load(std::memory_order_relaxed);
    if (i < arrivals->nanos.size()) {
        arrivals->nanos[i] = monotonicNanos();
        arrivals->count.store(i + 1, std::memory_order_release);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    constexpr uint32_t tempo = 3906;
    SnMidi32Bench lib;
    const SyncEntries sync(lib);

    const size_t beats = size_t(seconds * 1e6 / tempo);
    Arrivals arrivals;
    arrivals.nanos.resize(beats);
    SnMidiWindow window{post, &arrivals};
    const SNHANDLE clock = sync.openSync(0, &window, 0, 2);
    sync.setTempo(clock, tempo);
    const long long start = monotonicNanos();
    sync.startSync(clock);
    while (arrivals.count.load(std::memory_order_acquire) < beats)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sync.stopSync(clock);
    sync.closeSync(clock);

    std::vector<double> deviation(beats);
    std::vector<double> magnitude(beats);
    for (size_t i = 0; i < beats; ++i) {
        deviation[i] = double(arrivals.nanos[i] - (start + (long long)(i + 1) * tempo * 1000)) / 1000.0;
        magnitude[i] = std::fabs(deviation[i]);
    }
    std::printf("clock at %u us per beat, %zu beats over %.1f s\n", tempo, beats, seconds);
    std::printf("deviation from the ideal grid (us): median %.1f  p99 %.1f  max %.1f\n", quantile(magnitude, 0.5),
                quantile(magnitude, 0.99), *std::max_element(magnitude.begin(), magnitude.end()));
    std::printf("drift: last beat %.1f us off the grid, %.1f us more than the first\n", deviation.back(),
                deviation.back() - deviation.front());
    return 0;
}
