#pragma once

#include "HandleTable.h"
#include "SnMidi32.h"

#include <cstdint>
#include <memory>
#include <vector>

// A Standard MIDI File opened for reading. The whole file is held in memory; each track is
// decoded as it is read, never past the end of its chunk or of the file, so that a damaged
// file yields the events before the damage.
class SmfReader final : public HandleObject {
public:
    // Null when the file cannot be read or is not a usable MIDI file (SMPTE or zero division).
    static std::unique_ptr<SmfReader> open(const char *fileName);

    uint32_t format() const { return fileFormat; }
    uint32_t trackCount() const { return uint32_t(tracks.size()); }
    uint16_t resolution() const { return ticksPerQuarter; }

    // Channel messages with running status expanded, and Set Tempo as status-0 records; the delta
    // times of everything skipped are added to the next record delivered.
    uint32_t read(uint32_t track, MIDIEVENT *destination, uint32_t maximum);
    void rewind();
    // Set Tempo (0x51) answers the track's successive events, then the last one again; other
    // types answer the track's first event of that type. False when the track has none.
    bool meta(uint32_t track, uint8_t type, const uint8_t *&data, uint32_t &length);

private:
    struct Track {
        uint32_t begin = 0;      // offsets of the chunk's data in the file
        uint32_t end = 0;
        uint32_t cursor = 0;     // where the next read continues
        uint8_t runningStatus = 0;
        bool finished = false;
        uint32_t tempoCursor = 0;  // where the search for the next Set Tempo continues
        uint8_t tempoRunning = 0;
        bool tempoAnswered = false;
        uint32_t lastTempo = 0;    // offset and length of the last Set Tempo answered
        uint32_t lastTempoLength = 0;
    };

    SmfReader() = default;
    bool findMeta(uint32_t from, uint8_t fromRunning, uint32_t end, uint8_t type, uint32_t &dataOffset,
                  uint32_t &dataLength, uint32_t &after, uint8_t &afterRunning) const;

    std::vector<uint8_t> bytes;
    std::vector<Track> tracks;
    uint32_t fileFormat = 0;
    uint16_t ticksPerQuarter = 0;
    std::vector<uint8_t> answer;  // the meta data last handed out, zero-terminated
};
