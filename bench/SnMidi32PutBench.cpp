// PutMidiOut to the built-in synth (device 0): the cost of one call, drum note-ons and note-offs
// as the player sends them, with and without the capture file.
#include "SnMidi32Bench.h"

#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    const int messages = argc > 1 ? std::atoi(argv[1]) : 200000;
    const bool capture = argc > 2 && std::string(argv[2]) == "capture";
    char path[] = "/tmp/snmidi32-capture-XXXXXX";
    if (capture) {
        const int fd = mkstemp(path);
        close(fd);
        setenv("SNMIDI32_CAPTURE", path, 1);
    }
    SnMidi32Bench lib;
    auto openMidiOut = lib.entry<decltype(&OpenMidiOut)>("OpenMidiOut");
    auto putMidiOut = lib.entry<decltype(&PutMidiOut)>("PutMidiOut");
    auto resetMidiOut = lib.entry<decltype(&ResetMidiOut)>("ResetMidiOut");
    auto closeMidiOut = lib.entry<decltype(&CloseMidiOut)>("CloseMidiOut");

    const SNHANDLE port = openMidiOut(nullptr, 0, 0, 0x13320);
    if (port <= 32)
        return 1;
    std::vector<double> costs;
    costs.reserve(size_t(messages));
    for (int i = 0; i < messages + 1000; ++i) {
        const uint8_t note = uint8_t(35 + (i / 2) % 25);
        MIDIEVENT e{0, uint8_t(i & 1 ? 0x89 : 0x99), note, uint8_t(i & 1 ? 0 : 100), 0};
        const long long begin = monotonicNanos();
        putMidiOut(port, &e);
        const long long end = monotonicNanos();
        if (i >= 1000)  // warm-up
            costs.push_back(double(end - begin) / 1000.0);
        if (i % 64 == 63)
            resetMidiOut(port);  // keep the voice count what a song leaves, not ever-growing
    }
    closeMidiOut(port);
    if (capture)
        unlink(path);
    std::printf("PutMidiOut to the built-in synth (SNMIDI32_AUDIO=%s%s), %d messages\n", getenv("SNMIDI32_AUDIO"),
                capture ? ", with capture file" : "", messages);
    std::printf("cost per message (us): median %.2f  p99 %.2f\n", quantile(costs, 0.5), quantile(costs, 0.99));
    return 0;
}
