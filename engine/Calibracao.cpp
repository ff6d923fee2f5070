#include "engine/Calibracao.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void Calibracao::iniciar(int64_t novoInicio, int64_t novaLatencia)
{
    inicio = novoInicio;
    latenciaSaida = novaLatencia;
    cliques.assign(numCliques, 0);
    batidas.clear();
}

int64_t Calibracao::instanteDoClique(int k) const
{
    if (k >= 0 && size_t(k) < cliques.size() && cliques[size_t(k)] != 0)
        return cliques[size_t(k)];
    return devidoDoClique(k) + latenciaSaida;
}

void Calibracao::marcarClique(int k, int64_t instante)
{
    if (k >= 0 && size_t(k) < cliques.size())
        cliques[size_t(k)] = instante;
}

void Calibracao::registrarBatida(int64_t instante)
{
    batidas.push_back(instante);
}

Calibracao::Resultado Calibracao::resultado() const
{
    std::vector<double> desvios;
    for (int k = numCliques - considerados; k < numCliques; ++k) {
        const int64_t clique = instanteDoClique(k);
        int64_t melhor = 0;
        bool achou = false;
        for (int64_t batida : batidas) {
            const int64_t desvio = batida - clique;
            // Half an interval either way: a stroke belongs to exactly one click.
            if (desvio < -intervaloUs / 2 || desvio >= intervaloUs / 2)
                continue;
            if (!achou || std::llabs(desvio) < std::llabs(melhor)) {
                melhor = desvio;
                achou = true;
            }
        }
        if (achou)
            desvios.push_back(double(melhor) / 1000.0);
    }
    Resultado r;
    r.batidas = int(desvios.size());
    r.valido = r.batidas >= minimoBatidas;
    if (desvios.empty())
        return r;
    std::vector<double> ordenados = desvios;
    std::sort(ordenados.begin(), ordenados.end());
    const size_t n = ordenados.size();
    r.latenciaMs = n % 2 ? ordenados[n / 2] : (ordenados[n / 2 - 1] + ordenados[n / 2]) / 2;
    double media = 0;
    for (double d : desvios)
        media += d;
    media /= double(n);
    double quadrados = 0;
    for (double d : desvios)
        quadrados += (d - media) * (d - media);
    r.dispersaoMs = std::sqrt(quadrados / double(n));
    return r;
}
