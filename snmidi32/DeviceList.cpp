#include "DeviceList.h"

#include "AlsaInput.h"
#include "AlsaOutput.h"
#include "BuiltInSynth.h"
#include "ReplayInput.h"
#include "SilentBackend.h"
#include "SnMidiName.h"

#include <algorithm>
#include <cstring>

DeviceList::DeviceList(const Environment &environment) : environment(environment) {}

DeviceList::~DeviceList() = default;

void DeviceList::scanOutputsOnce()
{
    if (!outputsScanned) {
        alsaOutputs = AlsaSequencer::ports(true);
        outputsScanned = true;
    }
}

uint32_t DeviceList::outputCount()
{
    std::lock_guard<std::mutex> guard(lock);
    alsaOutputs = AlsaSequencer::ports(true);
    outputsScanned = true;
    return uint32_t(1 + alsaOutputs.size() + environment.captureDevices.size());
}

std::optional<std::string> DeviceList::outputName(uint32_t index)
{
    std::lock_guard<std::mutex> guard(lock);
    scanOutputsOnce();
    if (index == 0)
        return std::string(environment.soundFontUsable ? synthName : silentSynthName);
    index -= 1;
    if (index < alsaOutputs.size())
        return alsaOutputs[index].name;
    index -= uint32_t(alsaOutputs.size());
    if (index < environment.captureDevices.size())
        return environment.captureDevices[index].name;
    return std::nullopt;
}

std::shared_ptr<OutputBackend> DeviceList::openOutput(uint32_t index)
{
    std::lock_guard<std::mutex> guard(lock);
    scanOutputsOnce();
    if (index == 0) {
        if (!synth)
            synth = std::make_shared<BuiltInSynth>(environment);
        return synth;
    }
    index -= 1;
    if (index < alsaOutputs.size())
        return AlsaOutput::open(alsaOutputs[index]);
    index -= uint32_t(alsaOutputs.size());
    if (index < environment.captureDevices.size() && !environment.captureDevices[index].refusesOpen)
        return std::make_shared<SilentBackend>();
    return nullptr;
}

std::string DeviceList::synthFailure()
{
    std::lock_guard<std::mutex> guard(lock);
    return synth ? synth->setupFailure() : std::string();
}

uint32_t DeviceList::inputCount()
{
    std::lock_guard<std::mutex> guard(lock);
    alsaInputs = AlsaSequencer::ports(false);
    inputsScanned = true;
    return uint32_t(alsaInputs.size() + environment.replayDevices.size());
}

std::optional<std::string> DeviceList::inputName(uint32_t index)
{
    std::lock_guard<std::mutex> guard(lock);
    scanInputsOnce();
    if (index < alsaInputs.size())
        return alsaInputs[index].name;
    index -= uint32_t(alsaInputs.size());
    if (index < environment.replayDevices.size())
        return environment.replayDevices[index].name;
    return std::nullopt;
}

std::unique_ptr<InputSource> DeviceList::openInput(uint32_t index)
{
    std::unique_lock<std::mutex> guard(lock);
    scanInputsOnce();
    if (index < alsaInputs.size()) {
        const AlsaSequencer::Port port = alsaInputs[index];
        guard.unlock();
        return AlsaInput::open(port);
    }
    index -= uint32_t(alsaInputs.size());
    if (index < environment.replayDevices.size())
        return ReplayInput::open(environment.replayDevices[index].path);
    return nullptr;
}

void DeviceList::scanInputsOnce()
{
    if (!inputsScanned) {
        alsaInputs = AlsaSequencer::ports(false);
        inputsScanned = true;
    }
}

void DeviceList::copyName(const std::string &name, char *buffer)
{
    const size_t length = snMidiNameLength(name.data(), name.size());
    std::memset(buffer, 0, 32);
    std::memcpy(buffer, name.data(), length);
}
