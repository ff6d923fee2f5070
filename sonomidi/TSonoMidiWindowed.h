#pragma once

#include "SnMidi32.h"

#include <QObject>
#include <QString>

#include <memory>

class HiddenWindow;

// The base of the toolkit components that the driver library posts to (the clock and
// the ports): it owns the hidden window whose messages run WindowProc, one at a time,
// on the thread that built the component. The window goes last, with this base, so
// messages still queued when the component is destroyed are discarded unread.
class TSonoMidiWindowed : public QObject {
public:
    ~TSonoMidiWindowed() override;

    // The message sink handed to the library as this component's window.
    SnMidiWindow *GetWindow() const;

protected:
    explicit TSonoMidiWindowed(QObject *Owner);

    // Runs each message the library posted; what a component does not handle goes to
    // the platform's default procedure.
    virtual void WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam) = 0;

    // Values from 1 to 32 are the library's error codes, not handles.
    static bool IsHandle(SNHANDLE Value) { return Value > 32; }
    // A device name as a description entry point fills it: 32 bytes, zero-terminated
    // inside them, UTF-8.
    static QString DeviceDescription(decltype(&::GetMidiOutDescription) Describe, uint16_t Device);

private:
    std::unique_ptr<HiddenWindow> hWnd;
};
