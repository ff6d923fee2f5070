#include "song/Trilha.h"

Trilha::Trilha() = default;

Trilha::~Trilha() = default;

void Trilha::adicionarEvento(std::unique_ptr<EventoSequenciamento> evento)
{
    ticks.push_back(evento->getTick());
    eventos.push_back(std::move(evento));
}

std::vector<EventoSequenciamento *> Trilha::eventosNoTick(int32_t tick)
{
    eventosDoTick.clear();
    const int32_t *t = ticks.data();
    const size_t n = ticks.size();
    for (size_t i = 0; i < n; ++i) {
        if (t[i] == tick)
            eventosDoTick.push_back(eventos[i].get());
    }
    return eventosDoTick;
}
