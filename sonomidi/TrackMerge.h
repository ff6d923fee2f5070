#pragma once

#include "SnMidi32.h"

#include <cstdint>
#include <memory>

class TSonoMidiTrack;

// A score's cursor over one of its tracks during merging.
class TrackMerge {
public:
    static constexpr uint32_t ChunkSize = 512;

    // Takes ownership of Track; null makes a new empty track.
    explicit TrackMerge(TSonoMidiTrack *Track = nullptr);
    ~TrackMerge();

    TrackMerge(const TrackMerge &) = delete;
    TrackMerge &operator=(const TrackMerge &) = delete;

    std::unique_ptr<TSonoMidiTrack> Track;
    // The track's next records with absolute times, alive during one merge.
    std::unique_ptr<MIDIEVENT[]> Chunk;
    uint32_t ChunkCount = ChunkSize;
    uint32_t ChunkIndex = 0;
    // Index of the track's first record not yet merged; only grows.
    uint32_t Position = 0;
    // A system-exclusive run (data1 0xF0 up to 0xF7) of this track is open.
    bool InSysEx = false;
};
