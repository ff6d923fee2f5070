#include "sonomidi/TSonoMidiIn.h"

#include "platform/HiddenWindow.h"
#include "sonomidi/ESonoMidiException.h"

TSonoMidiIn::TSonoMidiIn(QObject *Owner)
    : QObject(Owner),
      hWnd(std::make_unique<HiddenWindow>([this](uint32_t Message, uintptr_t WParam, intptr_t LParam) {
          WindowProc(Message, WParam, LParam);
      }))
{
}

TSonoMidiIn::~TSonoMidiIn()
{
    if (Opened && SonoMidi)
        Close();
    hWnd.reset();
}

SnMidiWindow *TSonoMidiIn::GetWindow() const
{
    return hWnd->handle();
}

bool TSonoMidiIn::Open(uint16_t Device, uint32_t Flags)
{
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    if (Opened)
        throw ESonoMidiException(QStringLiteral("already open"));
    char descricao[32] = {};
    SonoMidi->GetMidiInDescription(Device, descricao);
    descricao[sizeof descricao - 1] = '\0';
    DeviceName = QString::fromUtf8(descricao);
    CarriedTime = 0;
    hMidiIn = SonoMidi->OpenMidiIn(hWnd->handle(), Device, 0, Flags);
    if (hMidiIn > 32)
        Opened = true;
    else
        hMidiIn = 0;
    return Opened;
}

void TSonoMidiIn::Start()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiIn not open"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    SonoMidi->StartMidiIn(hMidiIn);
}

void TSonoMidiIn::StartAt(int64_t ZeroMicros)
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiIn not open"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    if (SonoMidi->StartMidiInAt)
        SonoMidi->StartMidiInAt(hMidiIn, ZeroMicros);
    else
        SonoMidi->StartMidiIn(hMidiIn);
}

void TSonoMidiIn::Stop()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("midiIn not open"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
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
