// StopSync at 40 beats per minute (one tick = 23437 us): the player stops and restarts its clock
// on every tempo change, so a stop that waited out the current tick would stall the window. The
// stop comes at a varying point of the tick; reports how long StopSync takes.
#include "SnMidi32Bench.h"

#include <chrono>
#include <thread>

namespace {

void post(void *, uint32_t, uintptr_t, intptr_t) {}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 400;
    constexpr uint32_t tempo = 23437;
    SnMidi32Bench lib;
    const SyncEntries sync(lib);

    SnMidiWindow window{post, nullptr};
    const SNHANDLE clock = sync.openSync(0, &window, 0, 2);
    sync.setTempo(clock, tempo);
    std::vector<double> micros;
    unsigned seed = 12345;
    for (int i = 0; i < rounds; ++i) {
        sync.startSync(clock);
        // Somewhere in the first two ticks, the last stretch of a wait included.
        seed = seed * 1103515245u + 12345u;
        std::this_thread::sleep_for(std::chrono::microseconds(seed % (2 * tempo)));
        const long long before = monotonicNanos();
        sync.stopSync(clock);
        micros.push_back(double(monotonicNanos() - before) / 1000.0);
    }
    sync.closeSync(clock);
    std::printf("StopSync at %u us per tick (40 BPM), %d stops at varying points of the tick\n", tempo, rounds);
    std::printf("StopSync time (us): median %.1f  p99 %.1f  max %.1f\n", quantile(micros, 0.5), quantile(micros, 0.99),
                *std::max_element(micros.begin(), micros.end()));
    return 0;
}
