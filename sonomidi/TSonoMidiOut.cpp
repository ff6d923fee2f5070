#include "sonomidi/TSonoMidiOut.h"

#include "platform/HiddenWindow.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiSync.h"

TSonoMidiOut::TSonoMidiOut(QObject *Owner)
    : TSonoMidiWindowed(Owner)
{
}

TSonoMidiOut::~TSonoMidiOut()
{
    // The output facade clears SonoMidi when it goes; the handle is then forgotten.
    if (Opened && SonoMidi)
        Close();
}

bool TSonoMidiOut::Open(uint16_t Device, uint32_t Flags)
{
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    if (Opened)
        throw ESonoMidiException(QStringLiteral("already open"));
    DeviceName = DeviceDescription(SonoMidi->GetMidiOutDescription, Device);
    const SNHANDLE relogio = Sync ? Sync->GetHandle() : 0;
    this->Flags = Flags;
    this->Device = Device;
    hMidiOut = SonoMidi->OpenMidiOut(GetWindow(), Device, relogio, Flags);
    if (IsHandle(hMidiOut))
        Opened = true;
    else
        hMidiOut = 0;
    return Opened;
}

void TSonoMidiOut::Close()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiOut not open"));
    DeviceName.clear();
    if (SonoMidi) {
        Reset();
        SonoMidi->CloseMidiOut(hMidiOut);
    }
    hMidiOut = 0;
    Opened = false;
}

void TSonoMidiOut::RequireOpen() const
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiOut not open"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
}

void TSonoMidiOut::Reset()
{
    RequireOpen();
    SonoMidi->ResetMidiOut(hMidiOut);
}

void TSonoMidiOut::Flush()
{
    RequireOpen();
    SonoMidi->FlushMidiOut(hMidiOut);
}

bool TSonoMidiOut::Put(LPMIDIEVENT Event)
{
    // The player relies on a closed port swallowing its messages without error.
    if (!Opened || !SonoMidi)
        return true;
    return SonoMidi->PutMidiOut(hMidiOut, Event) == 0;
}

int64_t TSonoMidiOut::GetLatency() const
{
    if (!Opened || !SonoMidi || !SonoMidi->SetDispatchDue || !SonoMidi->GetOutputLatency)
        return 0;
    const int32_t Latency = SonoMidi->GetOutputLatency(hMidiOut);
    return Latency > 0 ? Latency : 0;
}

uint32_t TSonoMidiOut::GetNumDevices() const
{
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    return SonoMidi->GetNumOutDevices();
}

void TSonoMidiOut::WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam)
{
    if (Message == SNMIDI_MSG_OUT_BUFFER_READY) {
        if (Score)
            Score->FeedPort(this);
        if (OutBufferReady)
            OutBufferReady(this);
    } else {
        HiddenWindow::defaultProcedure(Message, WParam, LParam);
    }
}
