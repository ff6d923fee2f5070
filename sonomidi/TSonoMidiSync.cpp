#include "sonomidi/TSonoMidiSync.h"

#include "platform/HiddenWindow.h"
#include "sonomidi/ESonoMidiException.h"

TSonoMidiSync::TSonoMidiSync(QObject *Owner)
    : TSonoMidiWindowed(Owner)
{
}

TSonoMidiSync::~TSonoMidiSync()
{
    // Without a binding the library cannot be reached; the handle is forgotten.
    if (SonoMidi) {
        Stop();
        if (Opened)
            Close();
    }
    // The library posts no more once StopSync and CloseSync have returned; whatever is
    // still queued goes with the window, which the base releases after this.
}

bool TSonoMidiSync::Open(uint16_t First, uint16_t Second)
{
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    if (!Opened)
        hSync = SonoMidi->OpenSync(0, GetWindow(), First, Second);
    if (IsHandle(hSync)) {
        Opened = true;
        OpenFirst = First;
        OpenSecond = Second;
    } else {
        hSync = 0;
    }
    return Opened;
}

void TSonoMidiSync::Close()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("sync not open"));
    if (SonoMidi)
        SonoMidi->CloseSync(hSync);
    hSync = 0;
    Running = false;
    Opened = false;
}

void TSonoMidiSync::Start()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("sync not open"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    SonoMidi->StartSync(hSync);
    Running = true;
}

void TSonoMidiSync::Stop()
{
    if (!Opened)
        return;
    if (SonoMidi)
        SonoMidi->StopSync(hSync);
    Running = false;
}

bool TSonoMidiSync::SetTempo(uint32_t Tempo)
{
    // A sequencer whose binding could not be built still sets its tempo: without
    // a library that is a refusal, not a crash.
    if (!SonoMidi)
        return false;
    return SonoMidi->SetTempo(hSync, Tempo) == 0;
}

void TSonoMidiSync::SetResolution(uint16_t Resolution)
{
    if (SonoMidi)
        SonoMidi->SetResolution(hSync, Resolution);
}

void TSonoMidiSync::WindowProc(uint32_t Message, uintptr_t WParam, intptr_t LParam)
{
    // No look at the flags: a beat posted before Stop or Close still counts.
    switch (Message) {
    case SNMIDI_MSG_BEAT: {
        BeatDue = int64_t(LParam);
        // While the handler runs, what it puts belongs to this beat: the library schedules it
        // at the beat's due time instead of sending it whenever the GUI thread got here.
        using SetDue = decltype(TSonoMidi::SetDispatchDue);
        const SetDue Dispatch = SonoMidi ? SonoMidi->SetDispatchDue : nullptr;
        struct EndOfBeat {
            SetDue Reset;
            ~EndOfBeat()
            {
                if (Reset)
                    Reset(0);
            }
        } End{Dispatch};
        if (Dispatch)
            Dispatch(BeatDue);
        if (OnMidiBeat)
            OnMidiBeat(this);
        break;
    }
    case SNMIDI_MSG_SYNC_DONE:
        if (OnSyncDone)
            OnSyncDone(this);
        break;
    default:
        HiddenWindow::defaultProcedure(Message, WParam, LParam);
        break;
    }
}
