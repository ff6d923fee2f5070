#include "LoadedLibrary.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

LoadedLibrary::LoadedLibrary(Variables variables)
{
    std::map<std::string, std::string> environment(variables.begin(), variables.end());
    const char *names[] = {"SNMIDI32_AUDIO", "SNMIDI32_SOUNDFONT", "SNMIDI32_CAPTURE", "SNMIDI32_CAPTURE_DEVICES",
                           "SNMIDI32_LATENCY_MS", "SNMIDI32_INPUT_DEVICES"};
    environment.try_emplace("SNMIDI32_AUDIO", "null");
    environment.try_emplace("SNMIDI32_SOUNDFONT", "/usr/share/sounds/sf2/TimGM6mb.sf2");
    for (const char *name : names)
        unsetenv(name);
    for (const auto &[name, value] : environment)
        setenv(name.c_str(), value.c_str(), 1);
    handle = dlopen(SNMIDI32_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    for (const auto &[name, value] : environment)
        unsetenv(name.c_str());
    // The build always makes the library: a load that fails is the fault under test,
    // never a reason to pass with every entry point missing.
    if (!handle)
        throw std::runtime_error(std::string("cannot load " SNMIDI32_LIBRARY_PATH ": ") + dlerror());
#define SNMIDI32_ENTRY(name) \
    name = reinterpret_cast<decltype(name)>(dlsym(handle, #name)); \
    resolved += name != nullptr;
    SNMIDI32_ENTRIES(SNMIDI32_ENTRY)
#undef SNMIDI32_ENTRY
    SnMidiSetDispatchDue = reinterpret_cast<decltype(SnMidiSetDispatchDue)>(dlsym(handle, "SnMidiSetDispatchDue"));
    SnMidiGetOutputLatency = reinterpret_cast<decltype(SnMidiGetOutputLatency)>(dlsym(handle, "SnMidiGetOutputLatency"));
    StartMidiInAt = reinterpret_cast<decltype(StartMidiInAt)>(dlsym(handle, "SnMidiStartMidiInAt"));
    SnMidiGetLastError = reinterpret_cast<decltype(SnMidiGetLastError)>(dlsym(handle, "SnMidiGetLastError"));
}

std::string LoadedLibrary::lastError() const
{
    if (!SnMidiGetLastError)
        return "<no SnMidiGetLastError>";
    char text[512] = {};
    const uint32_t length = SnMidiGetLastError(text, sizeof text);
    return length == std::strlen(text) ? std::string(text) : std::string("<length ") + std::to_string(length) + ">";
}

LoadedLibrary::~LoadedLibrary()
{
    unload();
}

bool LoadedLibrary::unload()
{
    if (!handle)
        return false;
    dlclose(handle);
    handle = nullptr;
    void *still = dlopen(SNMIDI32_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (still) {
        dlclose(still);
        return false;
    }
    return true;
}

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "snmidi32-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        path = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    if (!path.empty())
        std::filesystem::remove_all(path, ignored);
}

std::vector<CaptureLine> readCapture(const std::string &path)
{
    std::vector<CaptureLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        CaptureLine line{};
        if (fields >> line.micros >> line.device >> line.status >> line.data1 >> line.data2) {
            if (!(fields >> line.due))
                line.due = line.micros;
            lines.push_back(line);
        }
    }
    return lines;
}

Sink::Sink()
{
    window.post = &Sink::post;
    window.context = this;
}

void Sink::post(void *context, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    auto *sink = static_cast<Sink *>(context);
    {
        std::lock_guard<std::mutex> guard(sink->lock);
        sink->received.push_back({message, wParam, lParam, std::chrono::steady_clock::now()});
    }
    sink->arrived.notify_all();
}

size_t Sink::count(uint32_t message)
{
    std::lock_guard<std::mutex> guard(lock);
    size_t n = 0;
    for (const Message &m : received)
        n += m.message == message;
    return n;
}

std::vector<Sink::Message> Sink::messages()
{
    std::lock_guard<std::mutex> guard(lock);
    return received;
}

bool Sink::waitFor(uint32_t message, size_t n, std::chrono::seconds deadline)
{
    std::unique_lock<std::mutex> guard(lock);
    return arrived.wait_for(guard, deadline, [&] {
        size_t seen = 0;
        for (const Message &m : received)
            seen += m.message == message;
        return seen >= n;
    });
}

bool eventually(const std::function<bool()> &condition, std::chrono::seconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
