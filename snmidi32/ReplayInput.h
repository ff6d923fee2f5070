#pragma once

#include "InputSource.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A replay input device: a text file of lines "<us after start> <status> <data1> <data2>"
// (decimal), delivered each at its time after the start and stamped with that time, as if
// played on a kit. Lines that do not read as four numbers are skipped; the file is read when
// the device is opened.
class ReplayInput final : public InputSource {
public:
    struct Line {
        int64_t micros;
        uint8_t status, data1, data2;
    };

    // Null when the file cannot be read.
    static std::unique_ptr<ReplayInput> open(const std::string &path);
    static std::vector<Line> parse(const std::string &text);
    ~ReplayInput() override;

    void start(Sink &sink, int64_t zeroMicros) override;
    void stop() override;

private:
    explicit ReplayInput(std::vector<Line> lines) : lines(std::move(lines)) {}
    void run(Sink &sink, int64_t zeroMicros);

    const std::vector<Line> lines;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::mutex controlLock;
    std::thread thread;  // last: joined before the members it uses go away
};
