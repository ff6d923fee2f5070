#pragma once

#include <string>
#include <vector>

// The library's configuration, taken from the environment once, when the library is loaded.
class Environment {
public:
    enum class Audio { Auto, Null, File };

    struct CaptureDevice {
        std::string name;
        bool refusesOpen = false;
    };

    struct ReplayDevice {
        std::string name;
        std::string path;
    };

    Environment();

    std::string soundFont;                    // empty when no soundfont was found
    bool soundFontUsable = false;             // a regular file that can be read
    Audio audio = Audio::Auto;
    std::string wavPath;                      // for Audio::File
    std::string capturePath;                  // empty: no capture file
    std::vector<CaptureDevice> captureDevices;
    // How long after its beat's deadline a message put during the beat's handling sounds
    // (SNMIDI32_LATENCY_MS): the GUI thread's lateness it absorbs. Twice its p99 measured with
    // three busy processes on two cores (about 10 ms): at 10 ms the odd late beat still
    // sounded late under that load.
    static constexpr int64_t defaultLatencyMicros = 20000;
    int64_t latencyMicros = defaultLatencyMicros;
    std::vector<ReplayDevice> replayDevices;  // SNMIDI32_INPUT_DEVICES, listed after the ALSA inputs
    bool debug = false;                       // SNMIDI32_DEBUG set: diagnostics go to stderr
    // What keeps the built-in synth silent, found when the variables are read:
    // no soundfont, a soundfont that is not a readable regular file, an unknown
    // SNMIDI32_AUDIO value. Empty when none of these.
    std::string problem;
    // Where the desktop's sound servers listen, for choosing the synth's audio output.
    std::string pipewireSocket;
    std::string pulseSocket;
    bool pulseServerSet = false;
};

// Writes one diagnostic line to stderr when SNMIDI32_DEBUG is set; silent otherwise.
void debugLog(const char *format, ...) __attribute__((format(printf, 1, 2)));
