#include "CaptureTap.h"

#include "Environment.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CaptureTap::CaptureTap(const std::string &path)
{
    if (path.empty())
        return;
    // A regular file or a new one; a FIFO or a device never holds the library's start.
    descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    struct stat info {};
    if (descriptor >= 0 && (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(descriptor);
        descriptor = -1;
        errno = EINVAL;
    }
    if (descriptor < 0) {
        failure = "the capture file " + path + " cannot be created: " +
                  (errno == EINVAL ? std::string("it is not a regular file") : std::string(std::strerror(errno)));
        debugLog("%s", failure.c_str());
        return;
    }
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0)
        fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    writer = std::thread([this] { runWriter(); });
}

CaptureTap::~CaptureTap()
{
    if (writer.joinable()) {
        stopping.store(true);
        waiting.release();
        writer.join();
    }
    if (descriptor >= 0)
        close(descriptor);
}

CaptureTap::Line CaptureTap::makeLine(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due)
{
    Line line;
    line.put = put;
    line.due = due;
    line.device = device;
    for (size_t i = 0; i < length && i < 3; ++i)
        line.bytes[i] = message[i];
    return line;
}

void CaptureTap::record(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due)
{
    if (descriptor < 0 || stopped.load(std::memory_order_relaxed))
        return;
    const Line line = makeLine(device, message, length, put, due);
    write(line);
}

void CaptureTap::recordLater(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due)
{
    if (descriptor < 0)
        return;
    const Line line = makeLine(device, message, length, put, due);
    // A full ring means the writer is thousands of lines behind: write it here rather than lose it.
    if (ring.push(line)) {
        queued.fetch_add(1, std::memory_order_release);
        waiting.release();
    } else {
        write(line);
    }
}

void CaptureTap::waitWritten()
{
    const uint64_t target = queued.load(std::memory_order_acquire);
    while (written.load(std::memory_order_acquire) < target)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
}

void CaptureTap::write(const Line &line)
{
    char text[128];
    const int size = std::snprintf(text, sizeof text, "%lld %u %u %u %u %lld\n", (long long)line.put,
                                   unsigned(line.device), unsigned(line.bytes[0]), unsigned(line.bytes[1]),
                                   unsigned(line.bytes[2]), (long long)line.due);
    // One write per line on an O_APPEND descriptor: lines from several threads never interleave.
    if (size <= 0 || stopped.load(std::memory_order_relaxed))
        return;
    const ssize_t done = ::write(descriptor, text, static_cast<size_t>(size));
    if (done == size)
        return;
    // A full disk: cut the part of a line that made it, so the file ends at a
    // whole line, and capture nothing more.
    if (!stopped.exchange(true) && done > 0) {
        const off_t end = lseek(descriptor, 0, SEEK_END);
        if (end >= done)
            (void)!ftruncate(descriptor, end - done);
    }
}

void CaptureTap::runWriter()
{
    Line line;
    for (;;) {
        waiting.acquire();
        while (ring.pop(line)) {
            write(line);
            written.fetch_add(1, std::memory_order_release);
        }
        if (stopping.load())
            return;
    }
}
