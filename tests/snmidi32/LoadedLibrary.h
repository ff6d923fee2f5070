#pragma once

#include "SnMidi32.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// Every entry point of the library, once: X(name) for each.
#define SNMIDI32_ENTRIES(X) \
    X(GetSonoMidiVersion) X(GetNumOutDevices) X(GetMidiOutDescription) \
    X(OpenMidiOut) X(ResetMidiOut) X(FlushMidiOut) X(CloseMidiOut) \
    X(PutMidiOut) X(GetNumInDevices) X(GetMidiInDescription) \
    X(OpenMidiIn) X(StartMidiIn) X(StopMidiIn) X(CloseMidiIn) \
    X(GetMidiIn) X(OpenSync) X(CloseSync) X(StopSync) \
    X(StartSync) X(PauseSync) X(ReStartSync) X(SetTempo) \
    X(SetResolution) X(GetTempo) X(GetResolution) X(GetPosition) \
    X(OpenSMF) X(CloseSMF) X(RewindSMF) X(ReadSMF) \
    X(WriteSMF) X(GetSMFResolution) X(SetSMFResolution) \
    X(ReadMetaEvent) X(WriteMetaEvent)

// libSnMidi32.so loaded with dlopen for one test, with the environment that test chooses (the
// library reads it once, at load), and unloaded again at the end, as the program's binding does.
class LoadedLibrary {
public:
    using Variables = std::initializer_list<std::pair<std::string, std::string>>;
    explicit LoadedLibrary(Variables variables = {});
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary &) = delete;
    LoadedLibrary &operator=(const LoadedLibrary &) = delete;

    bool loaded() const { return handle != nullptr; }
    // Unloads now; true when the library really left the process (threads ended, nothing pinned).
    bool unload();

#define SNMIDI32_ENTRY(name) decltype(&::name) name = nullptr;
    SNMIDI32_ENTRIES(SNMIDI32_ENTRY)
#undef SNMIDI32_ENTRY

    int resolved = 0;  // entry points found
    // The documented extension, looked up by name like the program's binding does.
    decltype(&::SnMidiSetDispatchDue) SnMidiSetDispatchDue = nullptr;
    decltype(&::SnMidiGetOutputLatency) SnMidiGetOutputLatency = nullptr;
    decltype(&::SnMidiStartMidiInAt) StartMidiInAt = nullptr;  // extension
    // Another documented extension.
    decltype(&::SnMidiGetLastError) SnMidiGetLastError = nullptr;
    // SnMidiGetLastError's text.
    std::string lastError() const;

private:
    void *handle = nullptr;
};

// A folder of its own for one test, removed afterwards.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    std::string file(const std::string &name) const { return (path / name).string(); }
    std::filesystem::path path;
};

// One line of the capture file; due (the sixth field, when the message is to sound) is left
// out of comparisons.
struct CaptureLine {
    uint64_t micros;
    unsigned device, status, data1, data2;
    uint64_t due = 0;
    bool operator==(const CaptureLine &o) const
    {
        return micros == o.micros && device == o.device && status == o.status && data1 == o.data1 && data2 == o.data2;
    }
};
std::vector<CaptureLine> readCapture(const std::string &path);

// A message sink on a plain thread-safe queue, standing for a window.
class Sink {
public:
    struct Message {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        std::chrono::steady_clock::time_point arrival;
    };

    Sink();
    SnMidiWindow window{};

    size_t count(uint32_t message);
    std::vector<Message> messages();
    // Waits (generously) until at least n messages of that kind have arrived.
    bool waitFor(uint32_t message, size_t n, std::chrono::seconds deadline = std::chrono::seconds(20));

private:
    static void post(void *context, uint32_t message, uintptr_t wParam, intptr_t lParam);
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<Message> received;
};

// Waits for a condition with a deadline instead of sleeping a fixed time.
bool eventually(const std::function<bool()> &condition, std::chrono::seconds deadline = std::chrono::seconds(20));
