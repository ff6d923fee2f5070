#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The capture file: one line per message put to any device, appended and flushed at once,
// so that tests and tools can watch what the program plays.
class CaptureTap {
public:
    explicit CaptureTap(const std::string &path);
    ~CaptureTap();
    CaptureTap(const CaptureTap &) = delete;
    CaptureTap &operator=(const CaptureTap &) = delete;

    // "<microseconds of CLOCK_MONOTONIC> <device> <status> <data1> <data2>"; safe from any thread.
    void record(uint16_t device, const uint8_t *message, size_t length);

private:
    int descriptor = -1;
};
