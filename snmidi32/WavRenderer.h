#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

typedef struct _fluid_synth_t fluid_synth_t;
class TimedMessages;

// Renders a synth into a WAV file in real time, paced by CLOCK_MONOTONIC, so that the file holds
// what a listener would have heard. Its clock is the sample count: step k covers the time from
// the start plus k steps, whenever the thread gets to render it, so a busy machine delays the
// rendering but never moves a message within the file. The header is kept valid while rendering.
class WavRenderer {
public:
    WavRenderer(fluid_synth_t *synth, TimedMessages &timed, const std::string &path, int sampleRate);
    ~WavRenderer();
    WavRenderer(const WavRenderer &) = delete;
    WavRenderer &operator=(const WavRenderer &) = delete;

    bool isOpen() const { return descriptor >= 0; }
    // Why the file could not be created; empty when it was.
    const std::string &openFailure() const { return failure; }

private:
    void run();
    void writeHeader();

    fluid_synth_t *synth;   // owned by the BuiltInSynth that owns this renderer
    TimedMessages &timed;   // likewise
    int sampleRate;
    int descriptor = -1;
    std::string failure;
    uint64_t dataBytes = 0;
    std::atomic<bool> stop{false};
    std::thread thread;     // last: started after, and joined before, everything it uses
};
