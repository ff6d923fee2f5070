#pragma once

#include "AlsaSequencer.h"
#include "Environment.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class BuiltInSynth;
class InputSource;
class OutputBackend;

// The one list of devices: output 0 is the built-in synth, then the ALSA sequencer ports that
// accept writes, then the capture-only devices; inputs are the ALSA ports that can be read, then
// the replay devices.
// Counting refreshes the ALSA part; names and opens use the list as last counted, so an index
// means the same device from GetNumOutDevices to OpenMidiOut.
class DeviceList {
public:
    explicit DeviceList(const Environment &environment);
    ~DeviceList();

    uint32_t outputCount();
    std::optional<std::string> outputName(uint32_t index);
    // The device's backend, or null when it cannot be opened.
    std::shared_ptr<OutputBackend> openOutput(uint32_t index);

    uint32_t inputCount();
    std::optional<std::string> inputName(uint32_t index);
    // The device's source, or null when it cannot be opened (unknown, unplugged, file unreadable).
    std::unique_ptr<InputSource> openInput(uint32_t index);

    // Copies a name into a 32-byte buffer, zero-terminated, cut at a UTF-8 character boundary.
    static void copyName(const std::string &name, char *buffer);

    static constexpr const char *synthName = "Tamborly Synth";
    // Device 0's name when it has no soundfont to play with.
    static constexpr const char *silentSynthName = "Tamborly Synth (no soundfont)";

    // What the built-in synth reported when it was made (an audio file that
    // cannot be created, a soundfont that does not load); empty before.
    std::string synthFailure();

private:
    void scanOutputsOnce();
    void scanInputsOnce();

    const Environment &environment;
    std::mutex lock;
    bool outputsScanned = false;
    bool inputsScanned = false;
    std::vector<AlsaSequencer::Port> alsaOutputs;
    std::vector<AlsaSequencer::Port> alsaInputs;
    std::shared_ptr<BuiltInSynth> synth;  // made at the first open, kept until the library is unloaded
};
