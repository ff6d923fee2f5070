#pragma once

#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiWindowed.h"

#include <QString>

#include <functional>

class TSonoMidiSync;

// Offered each incoming record; the handler drops it by setting *pbAccept false. The
// record's time is its arrival in microseconds of CLOCK_MONOTONIC, modulo 2^32.
using TMidiDataEvent = std::function<void(LPMIDIEVENT Event, bool *pbAccept)>;

// An input port: on each input-data message it drains the library's queue and
// offers every record but active sensing to OnMidiData. The delta time of a
// dropped record is carried into the next one, so timing survives filtering.
class TSonoMidiIn : public TSonoMidiWindowed {
public:
    explicit TSonoMidiIn(QObject *Owner = nullptr);
    // Closes if open; the hidden window goes after.
    ~TSonoMidiIn() override;

    TSonoMidi *SonoMidi = nullptr;  // not owned: the port's owner keeps the binding alive
    TSonoMidiSync *Sync = nullptr;  // not owned and not read by the port

    // Opens an input device (the player never does); true when the library gave
    // a handle above 32.
    bool Open(uint16_t Device, uint32_t Flags);
    void Start();
    // Start with a replay device's times counted from ZeroMicros (CLOCK_MONOTONIC, us);
    // a plain Start with a library that lacks the extension.
    void StartAt(int64_t ZeroMicros);
    void Stop();
    // Stops, closes and empties DeviceName.
    void Close();

    bool IsOpen() const { return Opened; }
    QString GetDeviceName() const { return DeviceName; }
    SNHANDLE GetHandle() const { return hMidiIn; }
    uint32_t GetCarriedTime() const { return CarriedTime; }

private:
    void WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam) override;
    // Raises "midiIn not open", or "No SonoMidi" for an open port without a binding.
    void RequireOpen() const;

    SNHANDLE hMidiIn = 0;
    bool Opened = false;
    QString DeviceName;
    uint32_t CarriedTime = 0;

public:
    TMidiDataEvent OnMidiData;
    // The device went away while started (unplugged); the port stays open until Close.
    TNotifyEvent OnMidiClose;
};
