#pragma once

#include "BoundedRing.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <semaphore>
#include <string>
#include <thread>

// The capture file: one line per message put to any device, so that tests and tools can watch
// what the program plays: "<us put> <device> <status> <data1> <data2> <us due to sound>".
class CaptureTap {
public:
    explicit CaptureTap(const std::string &path);
    ~CaptureTap();
    CaptureTap(const CaptureTap &) = delete;
    CaptureTap &operator=(const CaptureTap &) = delete;

    // Appends the line at once (calling thread), so a reader sees it when the put returns.
    void record(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due);
    // For the clock's thread: the line goes through a ring to a writer thread, so the clock
    // never formats or writes a file.
    void recordLater(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due);
    // Returns once every line handed to recordLater so far is in the file.
    void waitWritten();

    // Why the capture file could not be opened; empty when it was, or when none was asked for.
    const std::string &openFailure() const { return failure; }

private:
    struct Line {
        int64_t put = 0;
        int64_t due = 0;
        uint16_t device = 0;
        uint8_t bytes[3] = {};
    };
    static Line makeLine(uint16_t device, const uint8_t *message, size_t length, int64_t put, int64_t due);
    void write(const Line &line);
    void runWriter();

    int descriptor = -1;
    BoundedRing<Line, 4096> ring;
    std::counting_semaphore<> waiting{0};
    std::atomic<bool> stopping{false};
    std::atomic<uint64_t> queued{0};
    std::atomic<uint64_t> written{0};
    std::thread writer;  // last: joined before the ring goes away
    std::atomic<bool> stopped{false};  // a write failed: the file ends at its last whole line
    std::string failure;
};
