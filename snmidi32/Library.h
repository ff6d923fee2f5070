#pragma once

#include "CaptureTap.h"
#include "DeviceList.h"
#include "Environment.h"
#include "HandleTable.h"
#include "SnMidi32.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

// Everything the library holds, built when it is loaded and torn down when it is unloaded:
// handles go first (stopping clocks and input threads), then the devices, then the capture file.
class Library {
public:
    static Library &instance();

    Library();
    ~Library();
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    Environment environment;
    CaptureTap capture;
    DeviceList devices;
    HandleTable handles;
};

// Runs an entry point's body; anything thrown inside becomes the given failure result, so no
// exception ever crosses the C interface.
template <class Result, class Body>
Result guarded(Result failure, Body &&body) noexcept
{
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// Runs an entry point's body on the live object of type T behind a handle: SNMIDI_ERR_BAD_HANDLE
// when the handle is unknown or names another kind of object, the body's result otherwise.
template <class T, class Body>
uint16_t withHandle(uint32_t handle, Body &&body) noexcept
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        std::shared_ptr<T> object = Library::instance().handles.find<T>(handle);
        if (!object)
            return SNMIDI_ERR_BAD_HANDLE;
        return body(*object);
    });
}

// The body of GetMidiOutDescription and GetMidiInDescription: the name that lookup finds, cut
// to the 32-byte buffer, or an empty name and SNMIDI_ERR_BAD_DEVICE when it finds none.
template <class Lookup>
uint16_t describeDevice(char *buffer, Lookup &&lookup) noexcept
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_DEVICE, [&]() -> uint16_t {
        if (!buffer)
            return SNMIDI_ERR_BAD_ARGUMENT;
        const std::optional<std::string> text = lookup();
        DeviceList::copyName(text ? *text : std::string(), buffer);
        return text ? SNMIDI_OK : SNMIDI_ERR_BAD_DEVICE;
    });
}
