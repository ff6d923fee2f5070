#pragma once

#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiWindowed.h"

// The clock: opens a library clock, passes tempo (microseconds per beat) and
// resolution to it, and raises OnMidiBeat for every beat message, on the thread
// that built it.
class TSonoMidiSync : public TSonoMidiWindowed {
public:
    explicit TSonoMidiSync(QObject *Owner = nullptr);
    // Stops and closes if open; the hidden window goes after.
    ~TSonoMidiSync() override;

    // Called once per beat message, also for a beat posted before Stop or Close.
    TNotifyEvent OnMidiBeat;
    TNotifyEvent OnSyncDone;

    TSonoMidi *SonoMidi = nullptr;  // not owned: the clock's owner keeps the binding alive

    // True when open; on an open clock returns true without calling the library.
    bool Open(uint16_t First, uint16_t Second);
    void Close();
    void Start();
    void Stop();
    // No open check: a closed clock passes handle 0 and the library's answer decides.
    bool SetTempo(uint32_t Tempo);
    void SetResolution(uint16_t Resolution);

    bool IsOpen() const { return Opened; }
    bool IsRunning() const { return Running; }
    SNHANDLE GetHandle() const { return hSync; }
    // The due time of the beat being handled: its deadline in microseconds of
    // CLOCK_MONOTONIC, as the library's beat message carries it. Valid inside
    // OnMidiBeat; the handler runs at or after it, later when the GUI thread is busy.
    int64_t BeatDueTime() const { return BeatDue; }

private:
    void WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam) override;

    SNHANDLE hSync = 0;
    bool Opened = false;
    uint16_t OpenFirst = 0;
    uint16_t OpenSecond = 0;
    bool Running = false;
    int64_t BeatDue = 0;
};
