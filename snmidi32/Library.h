#pragma once

#include "CaptureTap.h"
#include "DeviceList.h"
#include "Environment.h"
#include "HandleTable.h"

#include <cstdint>
#include <memory>
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

// Runs an entry point's body on the live object of type T behind a handle: badHandle when the
// handle is unknown or names another kind of object, the body's result otherwise.
template <class T, class Body>
uint16_t withHandle(uint32_t handle, uint16_t badHandle, Body &&body) noexcept
{
    return guarded<uint16_t>(badHandle, [&]() -> uint16_t {
        std::shared_ptr<T> object = Library::instance().handles.find<T>(handle);
        if (!object)
            return badHandle;
        return body(*object);
    });
}
