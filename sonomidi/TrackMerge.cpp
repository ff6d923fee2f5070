#include "sonomidi/TrackMerge.h"

#include "sonomidi/TSonoMidiTrack.h"

TrackMerge::TrackMerge(TSonoMidiTrack *Track)
    : Track(Track ? Track : new TSonoMidiTrack)
{
}

TrackMerge::~TrackMerge() = default;
