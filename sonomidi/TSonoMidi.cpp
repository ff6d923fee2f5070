#include "sonomidi/TSonoMidi.h"

#include "platform/BibliotecaDriver.h"
#include "sonomidi/ESonoMidiException.h"

#include <QtGlobal>

#include <dlfcn.h>

#include <type_traits>

const char *const TSonoMidi::EntryPointNames[NumEntryPoints] = {
    "_GetSonoMidiVersion@0", "_GetNumOutDevices@0", "_GetMidiOutDescription@8", "_OpenMidiOut@16",
    "_ResetMidiOut@4",       "_FlushMidiOut@4",     "_CloseMidiOut@4",          "_PutMidiOut@8",
    "_GetNumInDevices@0",    "_GetMidiInDescription@8", "_OpenMidiIn@16",       "_StartMidiIn@4",
    "_StopMidiIn@4",         "_CloseMidiIn@4",      "_GetMidiIn@4",             "_OpenSync@16",
    "_CloseSync@4",          "_StopSync@4",         "_StartSync@4",             "_PauseSync@8",
    "_ReStartSync@4",        "_SetTempo@8",         "_SetResolution@8",         "_GetTempo@4",
    "_GetResolution@4",      "_GetPosition@8",      "_OpenSMF@16",              "_CloseSMF@4",
    "_RewindSMF@4",          "_ReadSMF@16",         "_WriteSMF@16",             "_GetSMFResolution@4",
    "_SetSMFResolution@8",   "_ReadMetaEvent@20",   "_WriteMetaEvent@20",
};

void TSonoMidi::LibraryCloser::operator()(void *Handle) const
{
    if (Handle && dlclose(Handle) != 0) {
        // A destructor must not raise: the failure goes to the warning channel,
        // with the toolkit's own message first.
        const char *motivo = dlerror();
        qWarning("FreeLibrary failed%s%s", motivo ? ": " : "", motivo ? motivo : "");
    }
}

TSonoMidi::TSonoMidi(QObject *Owner)
    : QObject(Owner)
{
    Bind(BibliotecaDriver::arquivoLocal(), true);
}

TSonoMidi::TSonoMidi(QObject *Owner, const QString &LibraryFile)
    : QObject(Owner)
{
    Bind(LibraryFile, false);
}

TSonoMidi::~TSonoMidi() = default;

QByteArray TSonoMidi::PlainName(const char *DecoratedName)
{
    QByteArray nome(DecoratedName);
    if (nome.startsWith('_'))
        nome.remove(0, 1);
    const qsizetype arroba = nome.lastIndexOf('@');
    if (arroba >= 0)
        nome.truncate(arroba);
    return nome;
}

void TSonoMidi::Bind(const QString &LibraryFile, bool Search)
{
    hLib.reset(BibliotecaDriver::abrir(LibraryFile, Search));
    if (!hLib)
        throw ESonoMidiException(QStringLiteral("Load of SnMidi32.dll failed"));

    int indice = 0;
    auto resolver = [this, &indice](auto &ponteiro) {
        const char *decorado = EntryPointNames[indice++];
        void *simbolo = dlsym(hLib.get(), PlainName(decorado).constData());
        if (!simbolo) {
            hLib.reset();
            throw ESonoMidiException(QStringLiteral("Failed to loadproc:") + QLatin1String(decorado));
        }
        ponteiro = reinterpret_cast<std::remove_reference_t<decltype(ponteiro)>>(simbolo);
    };
    resolver(GetSonoMidiVersion);
    resolver(GetNumOutDevices);
    resolver(GetMidiOutDescription);
    resolver(OpenMidiOut);
    resolver(ResetMidiOut);
    resolver(FlushMidiOut);
    resolver(CloseMidiOut);
    resolver(PutMidiOut);
    resolver(GetNumInDevices);
    resolver(GetMidiInDescription);
    resolver(OpenMidiIn);
    resolver(StartMidiIn);
    resolver(StopMidiIn);
    resolver(CloseMidiIn);
    resolver(GetMidiIn);
    resolver(OpenSync);
    resolver(CloseSync);
    resolver(StopSync);
    resolver(StartSync);
    resolver(PauseSync);
    resolver(ReStartSync);
    resolver(SetTempo);
    resolver(SetResolution);
    resolver(GetTempo);
    resolver(GetResolution);
    resolver(GetPosition);
    resolver(OpenSMF);
    resolver(CloseSMF);
    resolver(RewindSMF);
    resolver(ReadSMF);
    resolver(WriteSMF);
    resolver(GetSMFResolution);
    resolver(SetSMFResolution);
    resolver(ReadMetaEvent);
    resolver(WriteMetaEvent);
    Q_ASSERT(indice == NumEntryPoints);
    SetDispatchDue = reinterpret_cast<decltype(SetDispatchDue)>(dlsym(hLib.get(), "SnMidiSetDispatchDue"));
    GetOutputLatency = reinterpret_cast<decltype(GetOutputLatency)>(dlsym(hLib.get(), "SnMidiGetOutputLatency"));
    // Extensions are not part of the table: a library without them still binds.
    StartMidiInAt = reinterpret_cast<decltype(StartMidiInAt)>(dlsym(hLib.get(), "SnMidiStartMidiInAt"));

    Version = static_cast<uint16_t>(GetSonoMidiVersion() & 0xFFFFu);
}
