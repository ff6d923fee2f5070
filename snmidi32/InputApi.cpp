// Entry points of the input devices.
#include "SnMidi32.h"

#include "Library.h"
#include "MidiInPort.h"

namespace {

Library &lib() { return Library::instance(); }

template <class Action>
uint16_t withPort(SNHANDLE h, Action &&action)
{
    return withHandle<MidiInPort>(h, [&](MidiInPort &port) -> uint16_t {
        action(port);
        return SNMIDI_OK;
    });
}

} // namespace

extern "C" {

SNMIDI32_API uint32_t GetNumInDevices(void)
{
    return guarded<uint32_t>(0, [] { return lib().devices.inputCount(); });
}

SNMIDI32_API uint16_t GetMidiInDescription(uint16_t device, char *name)
{
    return describeDevice(name, [device] { return lib().devices.inputName(device); });
}

SNMIDI32_API SNHANDLE OpenMidiIn(SnMidiWindow *window, uint16_t device, SNHANDLE, uint32_t)
{
    return guarded<SNHANDLE>(SNMIDI_ERR_REFUSED, [&]() -> SNHANDLE {
        if (!lib().devices.inputName(device))
            return SNMIDI_ERR_BAD_DEVICE;
        std::unique_ptr<InputSource> source = lib().devices.openInput(device);
        if (!source)
            return SNMIDI_ERR_REFUSED;
        return lib().handles.add(std::make_shared<MidiInPort>(std::move(source), window));
    });
}

SNMIDI32_API uint16_t StartMidiIn(SNHANDLE h)
{
    return withPort(h, [](MidiInPort &port) { port.start(monotonicMicros()); });
}

SNMIDI32_API uint16_t SnMidiStartMidiInAt(SNHANDLE h, int64_t zeroMicros)
{
    return withPort(h, [zeroMicros](MidiInPort &port) { port.start(zeroMicros); });
}

SNMIDI32_API uint16_t StopMidiIn(SNHANDLE h)
{
    return withPort(h, [](MidiInPort &port) { port.stop(); });
}

SNMIDI32_API uint16_t CloseMidiIn(SNHANDLE h)
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        std::shared_ptr<MidiInPort> port = lib().handles.remove<MidiInPort>(h);
        if (!port)
            return SNMIDI_ERR_BAD_HANDLE;
        port->stop();
        return SNMIDI_OK;
    });
}

SNMIDI32_API LPMIDIEVENT GetMidiIn(SNHANDLE h)
{
    return guarded<LPMIDIEVENT>(nullptr, [&]() -> LPMIDIEVENT {
        std::shared_ptr<MidiInPort> port = lib().handles.find<MidiInPort>(h);
        return port ? port->next() : nullptr;
    });
}

} // extern "C"
