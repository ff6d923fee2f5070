#pragma once

#include "CaptureTap.h"
#include "DeviceList.h"
#include "Environment.h"
#include "HandleTable.h"

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
