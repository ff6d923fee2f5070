#include "CaptureTap.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

CaptureTap::CaptureTap(const std::string &path)
{
    if (!path.empty())
        descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

CaptureTap::~CaptureTap()
{
    if (descriptor >= 0)
        close(descriptor);
}

void CaptureTap::record(uint16_t device, const uint8_t *message, size_t length)
{
    if (descriptor < 0)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long micros =
        static_cast<unsigned long long>(now.tv_sec) * 1000000ull + static_cast<unsigned long long>(now.tv_nsec) / 1000;
    char line[96];
    const int size = std::snprintf(line, sizeof line, "%llu %u %u %u %u\n", micros, unsigned(device),
                                   unsigned(length > 0 ? message[0] : 0), unsigned(length > 1 ? message[1] : 0),
                                   unsigned(length > 2 ? message[2] : 0));
    // One write per line on an O_APPEND descriptor: lines from several threads never interleave.
    if (size > 0)
        (void)!write(descriptor, line, static_cast<size_t>(size));
}
