#pragma once

#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiWindowed.h"

#include <QString>

class TSonoMidiScore;
class TSonoMidiSync;

// An output port: hands MIDIEVENT records to a library output device and, when
// the library reports room, refills it from an attached score.
class TSonoMidiOut : public TSonoMidiWindowed {
public:
    explicit TSonoMidiOut(QObject *Owner = nullptr);
    // Closes if open; the hidden window goes after.
    ~TSonoMidiOut() override;

    TSonoMidi *SonoMidi = nullptr;  // not owned: the port's owner keeps the binding alive
    TSonoMidiSync *Sync = nullptr;  // not owned: clock linked at Open, or null

    // True when the library opened the device; a refused open keeps DeviceName.
    bool Open(uint16_t Device, uint32_t Flags);
    // Resets the device, closes it and empties DeviceName.
    void Close();
    void Reset();
    void Flush();
    // A closed port takes every record and sends nothing; an open one returns
    // false while the library's buffer is full.
    bool Put(LPMIDIEVENT Event);

    bool IsOpen() const { return Opened; }
    // How long after the due time of the beat being handled a record put now sounds, in
    // microseconds (the library's output latency); 0 when it goes out at once: a closed port,
    // or a library that does not place the messages of a beat.
    int64_t GetLatency() const;
    uint32_t GetNumDevices() const;
    void SetScore(TSonoMidiScore *Score) { this->Score = Score; }
    TSonoMidiScore *GetScore() const { return Score; }
    QString GetDeviceName() const { return DeviceName; }
    SNHANDLE GetHandle() const { return hMidiOut; }
    uint16_t GetDevice() const { return Device; }
    uint32_t GetFlags() const { return Flags; }

private:
    void WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam) override;
    // Raises "midiOut not open", or "No SonoMidi" for an open port without a binding.
    void RequireOpen() const;

    SNHANDLE hMidiOut = 0;
    uint32_t Flags = 0;
    uint16_t Device = 0;
    bool Opened = false;
    QString DeviceName;
    TSonoMidiScore *Score = nullptr;  // not owned: whoever attaches it keeps it alive

public:
    // Fired on every output-buffer-ready message, after the score's refill.
    TNotifyEvent OutBufferReady;
};
