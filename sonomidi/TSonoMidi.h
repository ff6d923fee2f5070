#pragma once

#include "SnMidi32.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// A toolkit event of the kind (method, object) called with Sender; it counts as
// assigned when the function is set.
using TNotifyEvent = std::function<void(QObject *Sender)>;

// The binding of the driver library: construction loads libSnMidi32.so (from the
// executable's folder first, then by the normal search) and resolves its 35 entry
// points, or raises ESonoMidiException. The pointers are read-only afterwards.
class TSonoMidi : public QObject {
public:
    explicit TSonoMidi(QObject *Owner = nullptr);
    // Binds exactly the library file at LibraryFile, with no search. Tests use it to
    // point the binding at a library that is absent or incomplete.
    TSonoMidi(QObject *Owner, const QString &LibraryFile);
    // Unloads the library; a failure is reported as "FreeLibrary failed" on the
    // warning channel, since a destructor cannot raise.
    ~TSonoMidi() override;

    TSonoMidi(const TSonoMidi &) = delete;
    TSonoMidi &operator=(const TSonoMidi &) = delete;

    static constexpr int NumEntryPoints = 35;
    // The decorated export names, in the order they are resolved; the symbols are
    // looked up without the leading "_" and the "@N" suffix.
    static const char *const EntryPointNames[NumEntryPoints];
    // "_OpenSync@16" -> "OpenSync".
    static QByteArray PlainName(const char *DecoratedName);

    // The dlopen handle (null only while a failed construction unwinds).
    void *GetLibraryHandle() const { return hLib.get(); }

private:
    struct LibraryCloser {
        void operator()(void *Handle) const;
    };
    std::unique_ptr<void, LibraryCloser> hLib;

    void Bind(const QString &LibraryFile, bool Search);

public:
    uint16_t Version = 0;

    decltype(&::GetSonoMidiVersion) GetSonoMidiVersion = nullptr;
    decltype(&::GetNumOutDevices) GetNumOutDevices = nullptr;
    decltype(&::GetMidiOutDescription) GetMidiOutDescription = nullptr;
    decltype(&::OpenMidiOut) OpenMidiOut = nullptr;
    decltype(&::ResetMidiOut) ResetMidiOut = nullptr;
    decltype(&::FlushMidiOut) FlushMidiOut = nullptr;
    decltype(&::CloseMidiOut) CloseMidiOut = nullptr;
    decltype(&::PutMidiOut) PutMidiOut = nullptr;
    decltype(&::GetNumInDevices) GetNumInDevices = nullptr;
    decltype(&::GetMidiInDescription) GetMidiInDescription = nullptr;
    decltype(&::OpenMidiIn) OpenMidiIn = nullptr;
    decltype(&::StartMidiIn) StartMidiIn = nullptr;
    decltype(&::StopMidiIn) StopMidiIn = nullptr;
    decltype(&::CloseMidiIn) CloseMidiIn = nullptr;
    decltype(&::GetMidiIn) GetMidiIn = nullptr;
    decltype(&::OpenSync) OpenSync = nullptr;
    decltype(&::CloseSync) CloseSync = nullptr;
    decltype(&::StopSync) StopSync = nullptr;
    decltype(&::StartSync) StartSync = nullptr;
    decltype(&::PauseSync) PauseSync = nullptr;
    decltype(&::ReStartSync) ReStartSync = nullptr;
    decltype(&::SetTempo) SetTempo = nullptr;
    decltype(&::SetResolution) SetResolution = nullptr;
    decltype(&::GetTempo) GetTempo = nullptr;
    decltype(&::GetResolution) GetResolution = nullptr;
    decltype(&::GetPosition) GetPosition = nullptr;
    decltype(&::OpenSMF) OpenSMF = nullptr;
    decltype(&::CloseSMF) CloseSMF = nullptr;
    decltype(&::RewindSMF) RewindSMF = nullptr;
    decltype(&::ReadSMF) ReadSMF = nullptr;
    decltype(&::WriteSMF) WriteSMF = nullptr;
    decltype(&::GetSMFResolution) GetSMFResolution = nullptr;
    decltype(&::SetSMFResolution) SetSMFResolution = nullptr;
    decltype(&::ReadMetaEvent) ReadMetaEvent = nullptr;
    decltype(&::WriteMetaEvent) WriteMetaEvent = nullptr;

    // The library's extension for placing the messages of a beat in time, looked up by name
    // outside the table of 35; null when the library has none (its puts then go out at once).
    decltype(&::SnMidiSetDispatchDue) SetDispatchDue = nullptr;
    // Its companion: the latency a port adds to a beat's due time; null when the library has none.
    decltype(&::SnMidiGetOutputLatency) GetOutputLatency = nullptr;
    // Documented extensions, resolved apart from the table; null when the library lacks one.
    decltype(&::SnMidiStartMidiInAt) StartMidiInAt = nullptr;
};
