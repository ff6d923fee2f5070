#include "sonomidi/TSonoMidiTrack.h"

#include <algorithm>
#include <cstring>

TSonoMidiTrack::TSonoMidiTrack()
    : Buffer(new MIDIEVENT[InitialCapacity]()), Capacity(InitialCapacity)
{
}

TSonoMidiTrack::~TSonoMidiTrack() = default;

LPMIDIEVENT TSonoMidiTrack::GetEvent(uint32_t Index) const
{
    return Index < Capacity ? &Buffer[Index] : nullptr;
}

void TSonoMidiTrack::SetNumEvents(uint32_t N)
{
    Count = std::min(N, Capacity);
}

uint32_t TSonoMidiTrack::GetEventTime(uint32_t Index) const
{
    if (Index >= Count)
        return 0;
    uint32_t tempo = 0;
    for (uint32_t i = 0; i <= Index; ++i)
        tempo += Buffer[i].time;
    return tempo;
}

std::unique_ptr<MIDIEVENT[]> TSonoMidiTrack::CopyEvents(uint32_t Start, uint32_t &N) const
{
    if (Start >= Count) {
        N = 0;
        return nullptr;
    }
    N = std::min(N, Count - Start);
    std::unique_ptr<MIDIEVENT[]> copia(new MIDIEVENT[N]);
    std::memcpy(copia.get(), &Buffer[Start], sizeof(MIDIEVENT) * N);
    if (N > 0) {
        copia[0].time = GetEventTime(Start);
        for (uint32_t i = 1; i < N; ++i)
            copia[i].time += copia[i - 1].time;
    }
    return copia;
}

void TSonoMidiTrack::SetCapacity(uint32_t NewCapacity)
{
    if (NewCapacity <= Capacity)
        return;
    std::unique_ptr<MIDIEVENT[]> maior(new MIDIEVENT[NewCapacity]);
    std::memcpy(maior.get(), Buffer.get(), sizeof(MIDIEVENT) * Capacity);
    std::memset(&maior[Capacity], 0, sizeof(MIDIEVENT) * (NewCapacity - Capacity));
    Buffer = std::move(maior);
    Capacity = NewCapacity;
}
