#include "song/EventoNoteOff.h"

#include "engine/SaidaMIDI.h"

EventoNoteOff::EventoNoteOff(int32_t tick, int32_t canal, int32_t nota)
    : EventoSequenciamento(tick, canal), nota(nota)
{
}

void EventoNoteOff::transpor(int32_t semitons)
{
    if (canal != 9)
        nota += semitons;
}

void EventoNoteOff::executar()
{
    SaidaMIDI::instancia().notaDesligada(canal, nota);
}
