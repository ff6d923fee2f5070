#include "sonomidi/TSonoMidiTrack.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <sys/mman.h>

TSonoMidiTrack::Memoria::Memoria(uint32_t Registros)
    : Bytes(size_t{Registros} * sizeof(MIDIEVENT))
{
    void *paginas = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (paginas == MAP_FAILED)
        throw std::bad_alloc();
    Inicio = static_cast<MIDIEVENT *>(paginas);
}

TSonoMidiTrack::Memoria::~Memoria()
{
    munmap(Inicio, Bytes);
}

void TSonoMidiTrack::Memoria::Crescer(uint32_t Registros)
{
    const size_t novos = size_t{Registros} * sizeof(MIDIEVENT);
    void *paginas = mremap(Inicio, Bytes, novos, MREMAP_MAYMOVE);
    if (paginas == MAP_FAILED)
        throw std::bad_alloc();
    Inicio = static_cast<MIDIEVENT *>(paginas);
    Bytes = novos;
}

TSonoMidiTrack::TSonoMidiTrack()
    : Buffer(InitialCapacity), Capacity(InitialCapacity)
{
}

TSonoMidiTrack::~TSonoMidiTrack() = default;

LPMIDIEVENT TSonoMidiTrack::GetEvent(uint32_t Index) const
{
    return Index < Capacity ? &Buffer.Inicio[Index] : nullptr;
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
        tempo += Buffer.Inicio[i].time;
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
    std::memcpy(copia.get(), &Buffer.Inicio[Start], sizeof(MIDIEVENT) * N);
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
    // The records stay; the new part comes zero-filled.
    Buffer.Crescer(NewCapacity);
    Capacity = NewCapacity;
}
