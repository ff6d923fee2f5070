// Replay input devices: how late each line of the file arrives at the message sink (the
// library's side of the hidden window) and how far its record's stamp lies from its line's
// time (none: a replay line is stamped with its own time). 2000 lines, one every 5 ms (10 s), played once; prints median, p99 and max.
#include "SnMidi32Bench.h"

#include <atomic>
#include <cinttypes>
#include <string>
#include <unistd.h>

namespace {

struct Arrival {
    std::vector<long long> nanos;
    std::atomic<size_t> count{0};
};

void post(void *context, uint32_t message, uintptr_t, intptr_t)
{
    auto *arrival = static_cast<Arrival *>(context);
    if (message != SNMIDI_MSG_MIM_DATA)
        return;
    const size_t i = arrival->count.load();
    if (i < arrival->nanos.size())
        arrival->nanos[i] = monotonicNanos();
    arrival->count.store(i + 1);
}

} // namespace

int main()
{
    constexpr int lines = 2000;
    constexpr long long stepMicros = 5000;
    char path[] = "/tmp/snmidi32-replay-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0)
        return 1;
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += std::to_string((i + 1) * stepMicros) + " 153 38 100\n";
    if (write(descriptor, text.data(), text.size()) != ssize_t(text.size()))
        return 1;
    close(descriptor);
    setenv("SNMIDI32_INPUT_DEVICES", (std::string("Replay:") + path).c_str(), 1);

    SnMidi32Bench lib;
    auto count = lib.entry<uint32_t (*)()>("GetNumInDevices");
    auto open = lib.entry<SNHANDLE (*)(SnMidiWindow *, uint16_t, SNHANDLE, uint32_t)>("OpenMidiIn");
    auto startAt = lib.entry<uint16_t (*)(SNHANDLE, int64_t)>("SnMidiStartMidiInAt");
    auto next = lib.entry<LPMIDIEVENT (*)(SNHANDLE)>("GetMidiIn");
    auto closeIn = lib.entry<uint16_t (*)(SNHANDLE)>("CloseMidiIn");

    Arrival arrival;
    arrival.nanos.assign(lines, 0);
    SnMidiWindow window{post, &arrival};
    const SNHANDLE h = open(&window, uint16_t(count() - 1), 0, 0);
    if (h <= 32) {
        std::fprintf(stderr, "the replay device did not open\n");
        return 1;
    }
    const long long zeroMicros = monotonicNanos() / 1000 + 100000;
    startAt(h, zeroMicros);
    std::vector<uint32_t> stamps;
    while (arrival.count.load() < size_t(lines) || stamps.size() < size_t(lines)) {
        while (LPMIDIEVENT record = next(h))
            stamps.push_back(record->time);
        usleep(20000);
    }
    closeIn(h);
    unlink(path);

    std::vector<double> late, stampError;
    for (int i = 0; i < lines; ++i) {
        const long long due = (zeroMicros + (i + 1) * stepMicros) * 1000;
        late.push_back(double(arrival.nanos[size_t(i)] - due) / 1000.0);
        stampError.push_back(double(int32_t(stamps[size_t(i)] - uint32_t(uint64_t(due / 1000)))));
    }
    std::printf("replay input, %d lines every %lld us\n", lines, stepMicros);
    std::printf("  arrival at the sink after the line's time (us): median %.1f  p99 %.1f  max %.1f\n",
                quantile(late, 0.5), quantile(late, 0.99), quantile(late, 1.0));
    std::printf("  record stamp minus the line's time (us):        median %.1f  p99 %.1f  max %.1f\n",
                quantile(stampError, 0.5), quantile(stampError, 0.99), quantile(stampError, 1.0));
    return 0;
}
