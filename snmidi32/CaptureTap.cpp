#include "CaptureTap.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

CaptureTap::CaptureTap(const std::string &path)
{
    if (path.empty())
        return;
    descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor >= 0)
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

void CaptureTap::record(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due)
{
    if (descriptor < 0)
        return;
    Line line;
    line.put = put;
    line.due = due;
    line.device = device;
    for (size_t i = 0; i < length && i < 3; ++i)
        line.bytes[i] = message[i];
    write(line);
}

void CaptureTap::recordLater(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due)
{
    if (descriptor < 0)
        return;
    Line line;
    line.put = put;
    line.due = due;
    line.device = device;
    for (size_t i = 0; i < length && i < 3; ++i)
        line.bytes[i] = message[i];
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
    if (size > 0)
        (void)!::write(descriptor, text, static_cast<size_t>(size));
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
