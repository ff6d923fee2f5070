#include "sonomidi/TSonoMidiIn.h"

#include "platform/HiddenWindow.h"
#include "sonomidi/ESonoMidiException.h"

TSonoMidiIn::TSonoMidiIn(QObject *Owner)
    : TSonoMidiWindowed(Owner)
{
}

TSonoMidiIn::~TSonoMidiIn()
{
    if (Opened && SonoMidi)
        Close();
}

bool TSonoMidiIn::Open(uint16_t Device, uint32_t Flags)
{
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    if (Opened)
        throw ESonoMidiException(QStringLiteral("already open"));
    DeviceName = DeviceDescription(SonoMidi->GetMidiInDescription, Device);
    CarriedTime = 0;
    hMidiIn = SonoMidi->OpenMidiIn(GetWindow(), Device, 0, Flags);
    if (IsHandle(hMidiIn))
        Opened = true;
    else
        hMidiIn = 0;
    return Opened;
}

void TSonoMidiIn::RequireOpen() const
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiIn not open"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
}

void TSonoMidiIn::Start()
{
    RequireOpen();
    SonoMidi->StartMidiIn(hMidiIn);
}

void TSonoMidiIn::StartAt(int64_t ZeroMicros)
{
    RequireOpen();
    if (SonoMidi->StartMidiInAt)
        SonoMidi->StartMidiInAt(hMidiIn, ZeroMicros);
    else
        SonoMidi->StartMidiIn(hMidiIn);
}

void TSonoMidiIn::Stop()
{
    RequireOpen();
    SonoMidi->StopMidiIn(hMidiIn);
}

void TSonoMidiIn::Close()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiIn not open"));
    if (SonoMidi) {
        Stop();
        SonoMidi->CloseMidiIn(hMidiIn);
    }
    hMidiIn = 0;
    DeviceName.clear();
    Opened = false;
}

void TSonoMidiIn::WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam)
{
    if (Message == SNMIDI_MSG_MIM_CLOSE) {
        if (OnMidiClose)
            OnMidiClose(this);
        return;
    }
    if (Message != SNMIDI_MSG_MIM_DATA) {
        HiddenWindow::defaultProcedure(Message, WParam, LParam);
        return;
    }
    if (!SonoMidi)
        return;
    while (LPMIDIEVENT registro = SonoMidi->GetMidiIn(hMidiIn)) {
        // The record belongs to the library; the carried delta goes into it in place.
        registro->time += CarriedTime;
        bool aceito = false;
        if (registro->status != 0xFE) {  // active sensing is never offered
            aceito = true;
            if (OnMidiData)
                OnMidiData(registro, &aceito);
        }
        CarriedTime = aceito ? 0 : registro->time;
    }
}
