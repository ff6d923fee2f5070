#include "song/Trilha.h"

#include <algorithm>
#include <numeric>

namespace {
// Steps the cursor walks forward before it falls back to a binary search.
constexpr size_t passosAntesDaBusca = 32;
}

Trilha::Trilha() = default;

Trilha::~Trilha() = default;

void Trilha::adicionarEvento(std::unique_ptr<EventoSequenciamento> evento)
{
    const int32_t tick = evento->getTick();
    if (!ticks.empty() && tick < ticks.back())
        emOrdem = false;
    ticks.push_back(tick);
    eventos.push_back(std::move(evento));
    ordemValida = false;
}

int32_t Trilha::tickNaOrdem(size_t posicao) const
{
    return ticks[indiceNaOrdem(posicao)];
}

size_t Trilha::indiceNaOrdem(size_t posicao) const
{
    return emOrdem ? posicao : ordem[posicao];
}

size_t Trilha::primeiroAPartirDe(int32_t tick)
{
    const size_t n = ticks.size();
    if (!ordemValida) {
        ordem.clear();
        if (!emOrdem) {
            ordem.resize(n);
            std::iota(ordem.begin(), ordem.end(), uint32_t(0));
            std::stable_sort(ordem.begin(), ordem.end(), [this](uint32_t a, uint32_t b) { return ticks[a] < ticks[b]; });
        }
        ordemValida = true;
        cursor = n + 1;  // forces a search below
    }
    size_t c = cursor;
    if (c > n || (c > 0 && tickNaOrdem(c - 1) >= tick)) {
        c = n + 1;  // behind the cursor: search
    } else {
        for (size_t passos = 0; c < n && tickNaOrdem(c) < tick && passos < passosAntesDaBusca; ++passos)
            ++c;
        if (c < n && tickNaOrdem(c) < tick)
            c = n + 1;  // far ahead: search
    }
    if (c > n) {
        size_t baixo = 0;
        size_t alto = n;
        while (baixo < alto) {
            const size_t meio = baixo + (alto - baixo) / 2;
            if (tickNaOrdem(meio) < tick)
                baixo = meio + 1;
            else
                alto = meio;
        }
        c = baixo;
    }
    return c;
}

std::vector<EventoSequenciamento *> Trilha::eventosNoTick(int32_t tick)
{
    eventosDoTick.clear();
    size_t c = primeiroAPartirDe(tick);
    const size_t n = ticks.size();
    for (; c < n && tickNaOrdem(c) == tick; ++c)
        eventosDoTick.push_back(eventos[indiceNaOrdem(c)].get());
    cursor = c;
    return eventosDoTick;
}
