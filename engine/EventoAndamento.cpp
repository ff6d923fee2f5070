#include "engine/EventoAndamento.h"

#include "engine/AcessoGui.h"
#include "engine/Sequenciador.h"

EventoAndamento::EventoAndamento(int32_t tick, int32_t canal, int32_t andamento)
    : EventoSequenciamento(tick, canal), andamento(andamento)
{
}

void EventoAndamento::executar()
{
    // The sequencer first, so that the window is shown the tempo in effect (the
    // song's times the speed factor) and its slider finds the sequencer already there.
    Sequenciador &sequenciador = Sequenciador::instancia();
    sequenciador.setAndamento(andamento);
    AcessoGui::instancia().atualizarAndamento(andamento > 0 ? sequenciador.getAndamento() : andamento);
}
