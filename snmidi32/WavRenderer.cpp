#include "WavRenderer.h"

#include "Environment.h"
#include "TimedMessages.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <fluidsynth.h>
#include <unistd.h>

namespace {

constexpr int blockFrames = 64;
constexpr int channels = 2;
constexpr uint32_t headerBytes = 44;

void put16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

bool before(const timespec &a, const timespec &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

WavRenderer::WavRenderer(fluid_synth_t *synth, TimedMessages &timed, const std::string &path, int sampleRate)
    : synth(synth), timed(timed), sampleRate(sampleRate)
{
    // A regular file or a new one; a FIFO or a device never holds the library's start.
    descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    struct stat info {};
    if (descriptor >= 0 && (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(descriptor);
        descriptor = -1;
        errno = EINVAL;
    }
    if (descriptor < 0 || ftruncate(descriptor, 0) != 0) {
        failure = "the audio file " + path + " cannot be created: " +
                  (errno == EINVAL ? std::string("it is not a regular file") : std::string(std::strerror(errno)));
        debugLog("%s", failure.c_str());
        if (descriptor >= 0)
            close(descriptor);
        descriptor = -1;
        return;
    }
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0)
        fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    writeHeader();
    thread = std::thread([this] { run(); });
}

WavRenderer::~WavRenderer()
{
    stop.store(true);
    if (thread.joinable())
        thread.join();
    if (descriptor >= 0) {
        writeHeader();
        close(descriptor);
    }
}

void WavRenderer::writeHeader()
{
    // Sizes stay within 32 bits: the file stops growing before the header would overflow.
    const uint32_t data = uint32_t(dataBytes);
    uint8_t h[headerBytes];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + data);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, channels);
    put32(h + 24, uint32_t(sampleRate));
    put32(h + 28, uint32_t(sampleRate * channels * 2));
    put16(h + 32, channels * 2);
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, data);
    (void)!pwrite(descriptor, h, sizeof h, 0);
}

void WavRenderer::run()
{
    int16_t samples[blockFrames * channels];
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long startNanos = (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
    // The end of step k, from the sample count alone: no rounding error adds up.
    auto stepEndNanos = [&](uint64_t step) {
        return startNanos + (long long)((step + 1) * blockFrames * 1000000000ULL / uint64_t(sampleRate));
    };
    uint64_t step = 0;
    uint64_t blocksSinceHeader = 0;
    constexpr uint64_t maxData = 0xFFFFFFFFull - headerBytes - sizeof samples;
    while (!stop.load(std::memory_order_relaxed)) {
        // A step is rendered once its time has passed, so everything due in it has been posted.
        const long long end = stepEndNanos(step);
        timespec deadline{};
        deadline.tv_sec = time_t(end / 1000000000LL);
        deadline.tv_nsec = long(end % 1000000000LL);
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (before(now, deadline))
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
        ++step;
        if (dataBytes >= maxData)
            continue;
        timed.applyUntil(end / 1000);
        fluid_synth_write_s16(synth, blockFrames, samples, 0, channels, samples, 1, channels);
        if (pwrite(descriptor, samples, sizeof samples, off_t(headerBytes + dataBytes)) != ssize_t(sizeof samples))
            continue;
        dataBytes += sizeof samples;
        // A reader may look at the file while it grows: keep the sizes current about ten times a second.
        if (++blocksSinceHeader * blockFrames >= uint64_t(sampleRate) / 10) {
            blocksSinceHeader = 0;
            writeHeader();
        }
    }
}
