#include "sonomidi/TSonoMidiScore.h"

#include "sonomidi/TSonoMidiOut.h"
#include "sonomidi/TSonoMidiTrack.h"
#include "sonomidi/TrackMerge.h"

#include <stdexcept>
#include <string>

TSonoMidiScore::TSonoMidiScore(int NumTracks)
{
    if (NumTracks > 0) {
        Tracks.reserve(static_cast<size_t>(NumTracks));
        for (int i = 0; i < NumTracks; ++i)
            Tracks.push_back(std::make_unique<TrackMerge>());
    }
}

TSonoMidiScore::~TSonoMidiScore()
{
    Clear();
}

void TSonoMidiScore::Clear()
{
    Tracks.clear();
}

const TrackMerge &TSonoMidiScore::GetMerge(int Index) const
{
    if (Index < 0 || Index >= GetNumTracks())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *Tracks[static_cast<size_t>(Index)];
}

TSonoMidiTrack *TSonoMidiScore::GetTrack(int Index) const
{
    return GetMerge(Index).Track.get();
}

int TSonoMidiScore::IndexOf(const TSonoMidiTrack *Track) const
{
    for (size_t i = 0; i < Tracks.size(); ++i)
        if (Tracks[i]->Track.get() == Track)
            return static_cast<int>(i);
    return -1;
}

LPMIDIEVENT TSonoMidiScore::MergeBuffer()
{
    if (!Buffer)
        Buffer.reset(new MIDIEVENT[BufferSize]());

    TrackMerge *exclusiva = nullptr;
    for (const auto &entrada : Tracks) {
        entrada->ChunkCount = TrackMerge::ChunkSize;
        entrada->Chunk = entrada->Track->CopyEvents(entrada->Position, entrada->ChunkCount);
        entrada->ChunkIndex = 0;
        if (entrada->Chunk && entrada->InSysEx)
            exclusiva = entrada.get();
    }

    auto temRegistro = [](const TrackMerge *entrada) {
        return entrada->Chunk && entrada->ChunkIndex < entrada->ChunkCount;
    };
    uint32_t n = 0;
    while (n < BufferSize) {
        TrackMerge *candidata = nullptr;
        if (exclusiva) {
            // A system-exclusive run is never interleaved with other tracks.
            if (!temRegistro(exclusiva))
                break;
            candidata = exclusiva;
        } else {
            for (const auto &entrada : Tracks) {
                if (!temRegistro(entrada.get()))
                    continue;
                // Strictly earlier only: equal times go to the lower list index.
                if (!candidata || entrada->Chunk[entrada->ChunkIndex].time < candidata->Chunk[candidata->ChunkIndex].time)
                    candidata = entrada.get();
            }
            if (!candidata)
                break;
        }
        const MIDIEVENT &registro = candidata->Chunk[candidata->ChunkIndex++];
        Buffer[n] = registro;
        if (registro.data1 == 0xF0) {
            candidata->InSysEx = true;
            exclusiva = candidata;
        } else if (registro.data1 == 0xF7) {
            candidata->InSysEx = false;
            exclusiva = nullptr;
        }
        ++n;
    }

    for (const auto &entrada : Tracks) {
        entrada->Position += entrada->ChunkIndex;
        entrada->Chunk.reset();
    }

    if (n > 0) {
        const uint32_t ultimo = Buffer[n - 1].time;
        auto delta = [](uint32_t depois, uint32_t antes) {
            // A record placed after a system-exclusive run may lie earlier in time.
            const int32_t d = static_cast<int32_t>(depois - antes);
            return d < 0 ? 0u : static_cast<uint32_t>(d);
        };
        for (uint32_t i = n - 1; i >= 1; --i)
            Buffer[i].time = delta(Buffer[i].time, Buffer[i - 1].time);
        Buffer[0].time = delta(Buffer[0].time, LastTime);
        LastTime = ultimo;
    }
    BufferCount = n;
    return Buffer.get();
}

void TSonoMidiScore::FeedPort(TSonoMidiOut *Port)
{
    if (Tracks.empty())
        return;
    if (BufferIndex == BufferCount) {
        MergeBuffer();
        BufferIndex = 0;
    }
    while (BufferIndex < BufferCount && Port->Put(&Buffer[BufferIndex])) {
        if (++BufferIndex == BufferCount) {
            MergeBuffer();
            BufferIndex = 0;
        }
    }
}
