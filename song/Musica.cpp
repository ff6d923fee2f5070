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

void Musica::setCompasso(int32_t numerador, int32_t denominador)
{
    // A signature no drummer counts (0 beats, a beat shorter than a 64th, more
    // than 32 beats a bar) is read as the standard 4/4.
    const bool potenciaDeDois = denominador > 0 && (denominador & (denominador - 1)) == 0;
    if (numerador < 1 || numerador > 32 || !potenciaDeDois || denominador > 64) {
        numerador = 4;
        denominador = 4;
    }
    numeradorCompasso = numerador;
    denominadorCompasso = denominador;
}
