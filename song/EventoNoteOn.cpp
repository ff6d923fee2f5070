#include "song/EventoNoteOn.h"

#include "engine/SaidaMIDI.h"

EventoNoteOn::EventoNoteOn(int32_t tick, int32_t canal, int32_t nota, int32_t velocidade)
    : EventoSequenciamento(tick, canal), nota(nota), velocidade(velocidade)
{
}

void EventoNoteOn::transpor(int32_t semitons)
{
    if (canal != 9)
        nota += semitons;
}

void EventoNoteOn::executar()
{
    SaidaMIDI::instancia().notaLigada(canal, velocidade, nota);
}
