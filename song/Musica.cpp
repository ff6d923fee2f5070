#include "song/Musica.h"

#include <stdexcept>

Musica::Musica() = default;

Musica::~Musica() = default;

void Musica::adicionarTrilha(std::unique_ptr<Trilha> trilha)
{
    trilhas.push_back(std::move(trilha));
}

Trilha *Musica::getTrilha(int32_t indice) const
{
    if (indice < 0 || static_cast<size_t>(indice) >= trilhas.size())
        throw std::out_of_range("vector");
    return trilhas[static_cast<size_t>(indice)].get();
}

std::vector<EventoSequenciamento *> Musica::eventosNoTick(int32_t tick, int32_t indice)
{
    return getTrilha(indice)->eventosNoTick(tick);
}
