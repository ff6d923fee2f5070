#pragma once

#include "SnMidi32.h"

#include <cstdint>
#include <cstddef>
#include <memory>

// The records of one track with delta times, in a zero-filled buffer that only
// grows (8192 records at first).
class TSonoMidiTrack {
public:
    static constexpr uint32_t InitialCapacity = 8192;

    TSonoMidiTrack();
    ~TSonoMidiTrack();

    TSonoMidiTrack(const TSonoMidiTrack &) = delete;
    TSonoMidiTrack &operator=(const TSonoMidiTrack &) = delete;

    // Record Index when it lies below the capacity, else null; records between
    // the count and the capacity are zero or stale.
    LPMIDIEVENT GetEvent(uint32_t Index) const;
    uint32_t GetNumEvents() const { return Count; }
    // Clamped to the capacity, so no later read leaves the buffer.
    void SetNumEvents(uint32_t N);
    // Count 0; the buffer and its capacity stay.
    void Clear() { Count = 0; }
    // Sum of the deltas of records 0 to Index; 0 when Index is not below the count.
    uint32_t GetEventTime(uint32_t Index) const;
    // A new array (the caller's) of up to N records from Start with absolute
    // times; N is lowered to the number copied, and null comes back with N = 0
    // when Start is not below the count.
    std::unique_ptr<MIDIEVENT[]> CopyEvents(uint32_t Start, uint32_t &N) const;

    uint32_t GetCapacity() const { return Capacity; }
    // Grows the buffer to NewCapacity records, keeping the records and zero-filling
    // the new part; a smaller value changes nothing.
    void SetCapacity(uint32_t NewCapacity);

private:
    // Anonymous pages of the kernel: they come zero-filled, cost no memory until
    // written, and grow in place or move without a copy (mremap).
    struct Memoria {
        explicit Memoria(uint32_t Registros);
        ~Memoria();
        Memoria(const Memoria &) = delete;
        Memoria &operator=(const Memoria &) = delete;
        void Crescer(uint32_t Registros);
        MIDIEVENT *Inicio = nullptr;
        size_t Bytes = 0;
    };
    Memoria Buffer;
    uint32_t Capacity = 0;
    uint32_t Count = 0;
};
