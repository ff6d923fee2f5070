#include "Environment.h"

#include <cstdarg>
#include <fcntl.h>
#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace {

bool debugEnabled = false;

std::string variable(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool exists(const std::string &path)
{
    return access(path.c_str(), R_OK) == 0;
}

// "Name:PATH[,Name2:PATH2]": the name ends at the first colon; items without one are skipped.
std::vector<Environment::ReplayDevice> replayDevicesFrom(const std::string &text)
{
    std::vector<Environment::ReplayDevice> devices;
    std::string_view rest(text);
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        const size_t colon = item.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon + 1 == item.size())
            continue;
        devices.push_back({std::string(item.substr(0, colon)), std::string(item.substr(colon + 1))});
    }
    return devices;
}

// Opened without blocking: a FIFO in the soundfont's place must not hold the library's load.
bool regularFile(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    return regular;
}

} // namespace

Environment::Environment()
{
    debug = !variable("SNMIDI32_DEBUG").empty();
    debugEnabled = debug;

    soundFont = variable("SNMIDI32_SOUNDFONT");
    if (soundFont.empty()) {
        for (const char *candidate : {"/usr/share/sounds/sf2/default-GM.sf2",
                                      "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                      "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
            if (exists(candidate)) {
                soundFont = candidate;
                break;
            }
        }
    }

    soundFontUsable = !soundFont.empty() && regularFile(soundFont);
    if (soundFont.empty())
        problem = "no soundfont found in /usr/share/sounds/sf2 (default-GM.sf2, FluidR3_GM.sf2, TimGM6mb.sf2)";
    else if (!soundFontUsable)
        problem = "the soundfont " + soundFont + " is missing or is not a readable regular file";

    const std::string audioText = variable("SNMIDI32_AUDIO");
    if (audioText == "null") {
        audio = Audio::Null;
    } else if (audioText.rfind("file:", 0) == 0 && audioText.size() > 5) {
        audio = Audio::File;
        wavPath = audioText.substr(5);
    } else if (!audioText.empty() && audioText != "auto" && problem.empty()) {
        problem = "unknown SNMIDI32_AUDIO value \"" + audioText + "\" (auto, null or file:PATH.wav)";
    }

    capturePath = variable("SNMIDI32_CAPTURE");
    const std::string latencyText = variable("SNMIDI32_LATENCY_MS");
    if (!latencyText.empty()) {
        char *end = nullptr;
        const double milliseconds = std::strtod(latencyText.c_str(), &end);
        // 0 is allowed (messages of a beat are due at its deadline); nonsense keeps the default.
        if (end && *end == '\0' && milliseconds >= 0 && milliseconds <= 1000)
            latencyMicros = int64_t(milliseconds * 1000 + 0.5);
        else
            debugLog("SNMIDI32_LATENCY_MS=%s is not a number of milliseconds from 0 to 1000", latencyText.c_str());
    }

    const std::string runtime = variable("XDG_RUNTIME_DIR");
    const std::string remote = variable("PIPEWIRE_REMOTE");
    if (!remote.empty() && remote.front() == '/')
        pipewireSocket = remote;
    else if (!runtime.empty())
        pipewireSocket = runtime + "/" + (remote.empty() ? std::string("pipewire-0") : remote);
    if (!runtime.empty())
        pulseSocket = runtime + "/pulse/native";
    pulseServerSet = !variable("PULSE_SERVER").empty();

    replayDevices = replayDevicesFrom(variable("SNMIDI32_INPUT_DEVICES"));

    const std::string devices = variable("SNMIDI32_CAPTURE_DEVICES");
    std::string_view rest(devices);
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        CaptureDevice device;
        if (!item.empty() && item.front() == '!') {
            device.refusesOpen = true;
            item.remove_prefix(1);
        }
        if (item.empty())
            continue;
        device.name = std::string(item);
        captureDevices.push_back(std::move(device));
    }
}

void debugLog(const char *format, ...)
{
    if (!debugEnabled)
        return;
    std::fputs("SnMidi32: ", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
}
