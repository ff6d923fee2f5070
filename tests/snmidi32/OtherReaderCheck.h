#pragma once

#include <string>

// What an independent MIDI file player (FluidSynth's) makes of a file.
struct OtherReaderResult {
    bool loaded = false;
    int noteOns = 0;
    int noteOffs = 0;
    int programChanges = 0;
    int finalTempo = 0;  // microseconds per quarter note at the end
};

OtherReaderResult playWithFluidSynth(const std::string &path);
