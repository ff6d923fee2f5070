#include "ReplayInput.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <sstream>

int64_t monotonicMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

std::vector<ReplayInput::Line> ReplayInput::parse(const std::string &text)
{
    std::vector<Line> lines;
    std::istringstream input(text);
    std::string row;
    while (std::getline(input, row)) {
        long long micros = 0;
        unsigned status = 0, data1 = 0, data2 = 0;
        char rest = 0;
        if (std::sscanf(row.c_str(), " %lld %u %u %u %c", &micros, &status, &data1, &data2, &rest) != 4)
            continue;
        if (micros < 0 || status < 0x80 || status > 0xFF || data1 > 0x7F || data2 > 0x7F)
            continue;
        lines.push_back({micros, uint8_t(status), uint8_t(data1), uint8_t(data2)});
    }
    return lines;
}

std::unique_ptr<ReplayInput> ReplayInput::open(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    std::string text;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return nullptr;
    return std::unique_ptr<ReplayInput>(new ReplayInput(parse(text)));
}

ReplayInput::~ReplayInput()
{
    stop();
}

void ReplayInput::start(Sink &sink, int64_t zeroMicros)
{
    std::lock_guard<std::mutex> control(controlLock);
    if (thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = false;
    }
    thread = std::thread([this, &sink, zeroMicros] { run(sink, zeroMicros); });
}

void ReplayInput::stop()
{
    std::lock_guard<std::mutex> control(controlLock);
    if (!thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
}

void ReplayInput::run(Sink &sink, int64_t zeroMicros)
{
    // steady_clock is CLOCK_MONOTONIC here, so the waits end at the lines' own deadlines.
    using Clock = std::chrono::steady_clock;
    const int64_t offset = monotonicMicros()
                           - std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
    std::unique_lock<std::mutex> guard(lock);
    for (const Line &line : lines) {
        const int64_t due = zeroMicros + line.micros;
        const Clock::time_point deadline{std::chrono::microseconds(due - offset)};
        if (wake.wait_until(guard, deadline, [this] { return stopping; }))
            return;
        guard.unlock();
        // Stamped with the line's own time, as a kit stamps a hit when it is struck: a
        // moment the thread was kept waiting does not move the hit.
        sink.deliver(line.status, line.data1, line.data2, due);
        guard.lock();
        if (stopping)
            return;
    }
}
