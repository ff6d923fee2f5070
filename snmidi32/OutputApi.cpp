// Entry points of the output devices.
#include "SnMidi32.h"

#include "Library.h"
#include "MidiOutPort.h"
#include "SyncClock.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

Library &lib() { return Library::instance(); }

// The due time of the beat the calling thread is handling (SnMidiSetDispatchDue), 0 outside one.
// Per thread: only the thread that dispatches beats has its puts scheduled.
thread_local int64_t dispatchDue = 0;

template <class Action>
uint16_t withPort(SNHANDLE h, Action &&action)
{
    return withHandle<MidiOutPort>(h, std::forward<Action>(action));
}

} // namespace

extern "C" {

SNMIDI32_API uint32_t GetNumOutDevices(void)
{
    return guarded<uint32_t>(1, [] { return lib().devices.outputCount(); });
}

SNMIDI32_API uint16_t GetMidiOutDescription(uint16_t device, char *name)
{
    return describeDevice(name, [device] { return lib().devices.outputName(device); });
}

SNMIDI32_API SNHANDLE OpenMidiOut(SnMidiWindow *window, uint16_t device, SNHANDLE clock, uint32_t)
{
    return guarded<SNHANDLE>(SNMIDI_ERR_REFUSED, [&]() -> SNHANDLE {
        std::shared_ptr<SyncClock> sync;
        if (clock != 0) {
            sync = lib().handles.find<SyncClock>(clock);
            if (!sync)
                return SNMIDI_ERR_BAD_HANDLE;
        }
        if (!lib().devices.outputName(device))
            return SNMIDI_ERR_BAD_DEVICE;
        std::shared_ptr<OutputBackend> backend = lib().devices.openOutput(device);
        if (!backend)
            return SNMIDI_ERR_REFUSED;
        auto port = std::make_shared<MidiOutPort>(std::move(backend), device, lib().capture, window, sync,
                                                  lib().environment.latencyMicros);
        const SNHANDLE handle = lib().handles.add(port);
        if (sync) {
            sync->link(port);
            // A clocked port starts empty: tell its owner to fill it.
            if (window && window->post)
                window->post(window->context, SNMIDI_MSG_OUT_BUFFER_READY, 0, 0);
        }
        return handle;
    });
}

SNMIDI32_API uint16_t ResetMidiOut(SNHANDLE h)
{
    return withPort(h, [](MidiOutPort &port) -> uint16_t {
        port.reset();
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t FlushMidiOut(SNHANDLE h)
{
    return withPort(h, [](MidiOutPort &port) -> uint16_t {
        port.flush();
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t CloseMidiOut(SNHANDLE h)
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        std::shared_ptr<MidiOutPort> port = lib().handles.remove<MidiOutPort>(h);
        if (!port)
            return SNMIDI_ERR_BAD_HANDLE;
        port->close();
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t PutMidiOut(SNHANDLE h, LPMIDIEVENT event)
{
    // A missing event is reported before an unknown handle.
    if (!event)
        return SNMIDI_ERR_BAD_ARGUMENT;
    return withPort(h, [event](MidiOutPort &port) { return port.put(*event, dispatchDue); });
}

SNMIDI32_API void SnMidiSetDispatchDue(int64_t due)
{
    dispatchDue = due;
}

SNMIDI32_API int32_t SnMidiGetOutputLatency(SNHANDLE h)
{
    return guarded<int32_t>(-1, [h]() -> int32_t {
        std::shared_ptr<MidiOutPort> port = lib().handles.find<MidiOutPort>(h);
        return port ? int32_t(port->latency()) : -1;
    });
}

SNMIDI32_API uint32_t SnMidiGetLastError(char *text, uint32_t size)
{
    return guarded<uint32_t>(0, [&]() -> uint32_t {
        Library &library = lib();
        std::string report;
        for (const std::string &part : {library.environment.problem, library.capture.openFailure(), library.devices.synthFailure()}) {
            if (part.empty() || report.find(part) != std::string::npos)
                continue;
            if (!report.empty())
                report += "; ";
            report += part;
        }
        if (text && size > 0) {
            const size_t copied = std::min<size_t>(report.size(), size - 1);
            std::memcpy(text, report.data(), copied);
            text[copied] = '\0';
        }
        return uint32_t(report.size());
    });
}

} // extern "C"
