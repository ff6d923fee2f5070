#pragma once

#include "SnMidi32.h"

#include <cstdint>
#include <memory>
#include <vector>

class TSonoMidiOut;
class TSonoMidiTrack;
class TrackMerge;

// A fixed set of tracks that can be merged into one time-ordered stream and fed
// to an output port whenever the port reports room.
class TSonoMidiScore {
public:
    static constexpr uint32_t BufferSize = 512;

    explicit TSonoMidiScore(int NumTracks);
    ~TSonoMidiScore();

    TSonoMidiScore(const TSonoMidiScore &) = delete;
    TSonoMidiScore &operator=(const TSonoMidiScore &) = delete;

    // Destroys every track; the score has none afterwards.
    void Clear();
    int GetNumTracks() const { return static_cast<int>(Tracks.size()); }
    // Raises std::out_of_range for an index outside the list.
    TSonoMidiTrack *GetTrack(int Index) const;
    // Index of the entry holding Track, or -1.
    int IndexOf(const TSonoMidiTrack *Track) const;
    // Merges up to 512 of the tracks' next records by time into the buffer, with
    // deltas; a system-exclusive run is never interleaved with other tracks.
    LPMIDIEVENT MergeBuffer();
    // Puts merged records into Port until it refuses one or the tracks run dry.
    void FeedPort(TSonoMidiOut *Port);

    LPMIDIEVENT GetBuffer() const { return Buffer.get(); }
    uint32_t GetBufferCount() const { return BufferCount; }
    uint32_t GetBufferIndex() const { return BufferIndex; }
    uint32_t GetLastTime() const { return LastTime; }
    // The merge cursor of entry Index (std::out_of_range outside the list).
    const TrackMerge &GetMerge(int Index) const;

private:
    std::vector<std::unique_ptr<TrackMerge>> Tracks;
    std::unique_ptr<MIDIEVENT[]> Buffer;
    uint32_t BufferCount = 0;
    uint32_t BufferIndex = 0;
    uint32_t LastTime = 0;
};
