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
    SNMIDI32_ENTRY(GetSonoMidiVersion) SNMIDI32_ENTRY(GetNumOutDevices) SNMIDI32_ENTRY(GetMidiOutDescription)
    SNMIDI32_ENTRY(OpenMidiOut) SNMIDI32_ENTRY(ResetMidiOut) SNMIDI32_ENTRY(FlushMidiOut) SNMIDI32_ENTRY(CloseMidiOut)
    SNMIDI32_ENTRY(PutMidiOut) SNMIDI32_ENTRY(GetNumInDevices) SNMIDI32_ENTRY(GetMidiInDescription)
    SNMIDI32_ENTRY(OpenMidiIn) SNMIDI32_ENTRY(StartMidiIn) SNMIDI32_ENTRY(StopMidiIn) SNMIDI32_ENTRY(CloseMidiIn)
    SNMIDI32_ENTRY(GetMidiIn) SNMIDI32_ENTRY(OpenSync) SNMIDI32_ENTRY(CloseSync) SNMIDI32_ENTRY(StopSync)
    SNMIDI32_ENTRY(StartSync) SNMIDI32_ENTRY(PauseSync) SNMIDI32_ENTRY(ReStartSync) SNMIDI32_ENTRY(SetTempo)
    SNMIDI32_ENTRY(SetResolution) SNMIDI32_ENTRY(GetTempo) SNMIDI32_ENTRY(GetResolution) SNMIDI32_ENTRY(GetPosition)
    SNMIDI32_ENTRY(OpenSMF) SNMIDI32_ENTRY(CloseSMF) SNMIDI32_ENTRY(RewindSMF) SNMIDI32_ENTRY(ReadSMF)
    SNMIDI32_ENTRY(WriteSMF) SNMIDI32_ENTRY(GetSMFResolution) SNMIDI32_ENTRY(SetSMFResolution)
    SNMIDI32_ENTRY(ReadMetaEvent) SNMIDI32_ENTRY(WriteMetaEvent)
#undef SNMIDI32_ENTRY

    int resolved = 0;  // entry points found

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

// One line of the capture file.
struct CaptureLine {
    uint64_t micros;
    unsigned device, status, data1, data2;
    bool operator==(const CaptureLine &) const = default;
};
std::vector<CaptureLine> readCapture(const std::string &path);

// A message sink on a plain thread-safe queue, standing for a window.
class Sink {
public:
    struct Message {
        uint32_t message;
        uintptr_t wParam;
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
