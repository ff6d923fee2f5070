#pragma once

#include "sonomidi/TSonoMidi.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class TSonoMidiScore;
class TSonoMidiSync;
class TSonoMidiTrack;

// Raised by Read before each chunk of records it fetches, with the records read so
// far in all tracks; setting Abort stops the read.
using TSMFReadEvent = std::function<void(QObject *Sender, uint64_t Records, bool &Abort)>;

// Reads and writes Standard MIDI Files through the driver library: track i of
// the file is entry i of the attached score.
class TSonoMidiSMF : public QObject {
public:
    static constexpr uint32_t ReadChunk = 8192;

    explicit TSonoMidiSMF(QObject *Owner = nullptr);
    // Closes the file if open.
    ~TSonoMidiSMF() override;

    TSonoMidiSMF(const TSonoMidiSMF &) = delete;
    TSonoMidiSMF &operator=(const TSonoMidiSMF &) = delete;

    TSonoMidi *SonoMidi = nullptr;  // not owned: the component's owner keeps the binding alive

    // Mode 'r' or 'w'. Closes an open file first (detaching its score); a refused
    // open returns false and leaves the component closed.
    bool Open(const QString &Name, char Mode, uint32_t Format);
    // Closes the file, detaches the score and zeroes the handle and track count.
    void Close();
    void SetScore(TSonoMidiScore *Score) { this->Score = Score; }
    TSonoMidiScore *GetScore() const { return Score; }
    uint32_t GetNumTracks() const { return NumTracks; }
    // The file's ticks per quarter note; 0 with no file open.
    uint16_t GetResolution() const;
    // Rewinds and fills every track of the score, then gives Clock (when not null)
    // the file's resolution. False when OnReadChunk aborted it: the tracks then hold
    // what was read before, and the clock is left alone.
    bool Read(TSonoMidiSync *Clock);
    // Fills Track from the file; true when it got records.
    virtual bool ReadTrack(TSonoMidiTrack *Track);
    // Writes Track's records; true when the library took them all.
    virtual bool WriteTrack(TSonoMidiTrack *Track);
    // -1 when Track lacks a meta event of Type (Data is then left empty); else
    // the library's result, with Data holding a copy of the event's bytes.
    int32_t ReadMetaEvent(TSonoMidiTrack *Track, uint8_t Type, QByteArray &Data);
    // Value is the event's absolute tick (0 for a track name); Data as the library
    // takes it (a zero-terminated text for the text types).
    bool WriteMetaEvent(TSonoMidiTrack *Track, uint8_t Type, const void *Data, uint32_t Value);

    // Runs on the thread that calls Read, so a long read can be stopped from another.
    TSMFReadEvent OnReadChunk;

    bool IsOpen() const { return Opened; }
    SNHANDLE GetHandle() const { return hSMF; }
    char GetMode() const { return Mode; }
    uint32_t GetFormat() const { return Format; }

private:
    SNHANDLE hSMF = 0;
    bool Opened = false;
    char Mode = 0;
    uint32_t Format = 0;
    uint32_t NumTracks = 0;
    TSonoMidiScore *Score = nullptr;  // not owned: whoever attaches it keeps it alive
    uint64_t RecordsRead = 0;  // of the Read in progress, for OnReadChunk
    bool ReadAborted = false;
};
