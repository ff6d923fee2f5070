#include "song/EventoGenerico.h"

#include "engine/SaidaMIDI.h"

EventoGenerico::EventoGenerico(int32_t tick, int32_t status, int32_t canal, int32_t dado1, int32_t dado2)
    : EventoSequenciamento(tick, canal), status(status), dado1(dado1), dado2(dado2)
{
}

void EventoGenerico::executar()
{
    SaidaMIDI::instancia().enviarMensagem(status, dado1, dado2);
}
