// Reading a Standard MIDI File of 16 tracks and 1,000,000 events (open, every track in records of
// 8192, close), as the song import does; the file is written by the library itself first.
#include "SnMidi32Bench.h"

#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 20;
    constexpr uint32_t tracks = 16;
    constexpr uint32_t perTrack = 1000000 / tracks;
    SnMidi32Bench lib;
    auto openSMF = lib.entry<decltype(&OpenSMF)>("OpenSMF");
    auto closeSMF = lib.entry<decltype(&CloseSMF)>("CloseSMF");
    auto readSMF = lib.entry<decltype(&ReadSMF)>("ReadSMF");
    auto writeSMF = lib.entry<decltype(&WriteSMF)>("WriteSMF");

    char path[] = "/tmp/snmidi32-bench-XXXXXX.mid";
    const int fd = mkstemps(path, 4);
    if (fd < 0)
        return 1;
    close(fd);
    {
        uint32_t format = 1, count = tracks;
        const SNHANDLE w = openSMF(path, &format, 'w', &count);
        std::vector<MIDIEVENT> records(perTrack);
        uint32_t seed = 1;
        for (uint32_t t = 0; t < tracks; ++t) {
            for (uint32_t i = 0; i < perTrack; ++i) {
                seed = seed * 1103515245u + 12345u;
                // Drum-like: note-ons and note-offs, many at the same tick, so running status applies.
                records[i] = {(seed >> 16) % 3 == 0 ? (seed >> 20) % 60 : 0, uint8_t((i & 1 ? 0x80 : 0x90) | (t % 16)),
                              uint8_t(35 + (seed >> 8) % 25), uint8_t(i & 1 ? 0 : 100), 0};
            }
            writeSMF(w, t, records.data(), perTrack);
        }
        closeSMF(w);
    }

    std::vector<MIDIEVENT> buffer(8192);
    std::vector<double> rates;
    unsigned long long total = 0;
    for (int r = 0; r < repeats + 2; ++r) {
        const long long begin = monotonicNanos();
        uint32_t format = 1, count = 0;
        const SNHANDLE h = openSMF(path, &format, 'r', &count);
        unsigned long long events = 0;
        for (uint32_t t = 0; t < count; ++t)
            while (uint32_t n = readSMF(h, t, buffer.data(), 8192))
                events += n;
        closeSMF(h);
        const double elapsed = double(monotonicNanos() - begin) / 1e9;
        total = events;
        if (r >= 2)  // the first two warm the page cache and the allocator
            rates.push_back(double(events) / elapsed);
    }
    unlink(path);
    std::printf("SMF read: %llu events in %u tracks, %d runs\n", total, tracks, repeats);
    std::printf("events per second: median %.1f million  p99 (slowest 1%%) %.1f million\n",
                quantile(rates, 0.5) / 1e6, quantile(rates, 0.01) / 1e6);
    return total == uint64_t(tracks) * perTrack ? 0 : 1;
}
