#pragma once

#include <cstdint>

// A timed event of a song. Tracks own their events and delete them through the
// virtual destructor.
class EventoSequenciamento {
public:
    EventoSequenciamento(int32_t tick, int32_t canal);
    virtual ~EventoSequenciamento();
    EventoSequenciamento(const EventoSequenciamento &) = delete;
    EventoSequenciamento &operator=(const EventoSequenciamento &) = delete;

    // Shifts the event's note by a number of semitones; the base has no note.
    virtual void transpor(int32_t semitons);
    // Makes the event take effect (sends its message, changes the tempo).
    virtual void executar();

    int32_t getTick() const { return tick; }
    int32_t getCanal() const { return canal; }

protected:
    int32_t tick;   // engine ticks (1/64 of a quarter note) from the song start
    int32_t canal;  // MIDI channel 0..15; 9 is the drum channel
};
