#include "engine/EventoAndamento.h"

#include "engine/AcessoGui.h"
#include "engine/Sequenciador.h"

EventoAndamento::EventoAndamento(int32_t tick, int32_t canal, int32_t andamento)
    : EventoSequenciamento(tick, canal), andamento(andamento)
{
}

void EventoAndamento::executar()
{
    AcessoGui::instancia().atualizarAndamento(andamento);
    Sequenciador::instancia().setAndamento(andamento);
}
