#pragma once

#include "HandleTable.h"
#include "SnMidi32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A Standard MIDI File being written. Records and meta events are collected per track and the
// file is written when it is closed: each track's meta events are merged with its records by
// absolute tick, meta events first at equal ticks.
class SmfWriter final : public HandleObject {
public:
    // Null when the file cannot be created.
    static std::unique_ptr<SmfWriter> open(const char *fileName, uint32_t format, uint32_t tracks);
    ~SmfWriter() override;

    static constexpr uint16_t defaultResolution = 480;

    uint16_t resolution() const { return ticksPerQuarter; }
    // Refused (non-zero) once a track has records, or for 0 and SMPTE values.
    uint16_t setResolution(uint16_t ticks);
    // Channel records are kept; others are skipped with their delta time kept. Returns count.
    uint32_t write(uint32_t track, const MIDIEVENT *records, uint32_t count);
    // 0 on success; non-zero for an unknown type or missing data.
    int32_t writeMeta(uint32_t track, uint8_t type, const void *data, uint32_t tick);
    // Writes the file; false when it could not be written completely.
    bool finish();

private:
    struct Record {
        uint64_t tick;
        uint8_t bytes[3];
    };
    struct Meta {
        uint64_t tick;
        uint8_t type;
        std::string data;
    };
    struct Track {
        std::vector<Record> records;  // in tick order, as written
        std::vector<Meta> metas;      // in the order given
        uint64_t tick = 0;            // absolute tick of the last record
        uint64_t endTick = 0;         // an End of Track asked for explicitly
    };

    SmfWriter(int descriptor, uint32_t format, uint32_t tracks);
    Track *trackAt(uint32_t index);

    int descriptor;
    uint32_t fileFormat;
    uint16_t ticksPerQuarter = defaultResolution;
    bool recordsWritten = false;
    bool finished = false;
    std::vector<Track> tracks;
};
