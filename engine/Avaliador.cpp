#include "engine/Avaliador.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>

int32_t Avaliador::familia(int32_t nota)
{
    switch (nota) {
    case 35:
    case 36:
        return 35;
    case 37:
    case 38:
    case 40:
        return 37;
    case 42:
    case 44:
    case 46:
        return 42;
    case 49:
    case 52:
    case 55:
    case 57:
        return 49;
    case 51:
    case 53:
    case 59:
        return 51;
    default:
        return nota;
    }
}

Avaliador::Nota Avaliador::nota(int64_t desvioUs)
{
    const int64_t distancia = std::llabs(desvioUs);
    if (distancia <= perfeitoUs)
        return Nota::perfeito;
    if (distancia <= bomUs)
        return Nota::bom;
    return Nota::ok;
}

void Avaliador::iniciar()
{
    esperados.clear();
    batidas.clear();
    voltas.assign(1, Volta{});
    marcas.clear();
    prontos.clear();
    horizonte = INT64_MIN;
    sequencia = 0;
    terminado = false;
}

void Avaliador::esperar(int32_t nota, int64_t instante)
{
    if (terminado)
        return;
    if (voltas.empty())
        voltas.emplace_back();
    const int32_t volta = int32_t(voltas.size()) - 1;
    const int32_t fam = familia(nota);
    esperados.push_back(Esperado{nota, fam, instante, volta});
    Volta &atual = voltas.back();
    ++atual.resultado.esperados;
    ++atual.resultado.familias[fam].esperados;
    ++atual.pendentes;
}

void Avaliador::avancar(int64_t instante)
{
    if (terminado || instante <= horizonte)
        return;
    horizonte = instante;
    decidir();
}

void Avaliador::tocar(int32_t nota, int64_t instante)
{
    if (terminado)
        return;
    if (voltas.empty())
        voltas.emplace_back();
    batidas.push_back(Batida{nota, familia(nota), instante});
    decidir();
}

void Avaliador::fecharVolta(int64_t instante)
{
    if (terminado)
        return;
    if (voltas.empty())
        voltas.emplace_back();
    voltas.back().fim = instante;
    voltas.emplace_back();
    decidir();
}

void Avaliador::terminar()
{
    if (terminado)
        return;
    if (voltas.empty())
        voltas.emplace_back();
    horizonte = INT64_MAX;
    decidir();
    terminado = true;
}

int32_t Avaliador::voltaDoInstante(int64_t instante) const
{
    for (size_t k = 0; k < voltas.size(); ++k) {
        if (instante < voltas[k].fim)
            return int32_t(k);
    }
    return int32_t(voltas.size()) - 1;
}

void Avaliador::marcar(int32_t volta, int32_t nota, Nota tipo, int32_t fam, double desvioMs)
{
    marcas.push_back(Marca{nota, tipo, desvioMs});
    ResultadoAvaliacao &resultado = voltas[size_t(volta)].resultado;
    switch (tipo) {
    case Nota::perfeito:
    case Nota::bom:
    case Nota::ok:
        if (tipo == Nota::perfeito)
            ++resultado.perfeitos;
        else if (tipo == Nota::bom)
            ++resultado.bons;
        else
            ++resultado.ok;
        ++resultado.familias[fam].acertos;
        resultado.desviosMs.push_back(desvioMs);
        ++sequencia;
        break;
    case Nota::perdido:
        ++resultado.perdidos;
        sequencia = 0;
        break;
    case Nota::extra:
        ++resultado.extras;
        sequencia = 0;
        break;
    }
}

// One hit, if it can be decided yet: true when it has been.
bool Avaliador::decidirBatida(const Batida &batida)
{
    Esperado *melhor = nullptr;
    int64_t distanciaMelhor = INT64_MAX;
    for (Esperado &esperado : esperados) {
        if (esperado.decidido || esperado.familia != batida.familia)
            continue;
        const int64_t distancia = std::llabs(batida.instante - esperado.instante);
        // Ties go to the earlier stroke: it would be the first to turn into a miss.
        if (distancia <= limiteUs && distancia < distanciaMelhor) {
            melhor = &esperado;
            distanciaMelhor = distancia;
        }
    }
    // A stroke still unknown lies beyond the horizon; it could only be nearer while
    // the horizon has not yet passed the hit by the distance found (or by the limit).
    const int64_t alcance = melhor ? distanciaMelhor : limiteUs;
    if (horizonte != INT64_MAX && (batida.instante > INT64_MAX - alcance || horizonte < batida.instante + alcance))
        return false;
    if (!melhor) {
        marcar(voltaDoInstante(batida.instante), batida.nota, Nota::extra, batida.familia, 0);
        return true;
    }
    melhor->decidido = true;
    --voltas[size_t(melhor->volta)].pendentes;
    ++voltas[size_t(melhor->volta)].decididos;
    const int64_t desvio = batida.instante - melhor->instante;
    marcar(melhor->volta, batida.nota, nota(desvio), batida.familia, double(desvio) / 1000.0);
    return true;
}

void Avaliador::decidir()
{
    // Hits in arrival order; within a family an undecided hit holds back the later
    // ones, so two hits near one stroke are always settled first come, first served.
    std::set<int32_t> retidas;
    std::vector<Batida> restantes;
    for (const Batida &batida : batidas) {
        if (retidas.count(batida.familia) == 0 && decidirBatida(batida))
            continue;
        retidas.insert(batida.familia);
        restantes.push_back(batida);
    }
    batidas.swap(restantes);

    // Misses: the stroke's time plus the limit and the delivery allowance has passed,
    // and no hit still waiting could take it.
    for (Esperado &esperado : esperados) {
        if (esperado.decidido)
            continue;
        if (horizonte != INT64_MAX && horizonte - limiteUs - folgaEntregaUs < esperado.instante)
            break;  // later strokes are later still
        bool alcancavel = false;
        for (const Batida &batida : batidas)
            alcancavel = alcancavel
                         || (batida.familia == esperado.familia
                             && std::llabs(batida.instante - esperado.instante) <= limiteUs);
        if (alcancavel)
            continue;
        esperado.decidido = true;
        --voltas[size_t(esperado.volta)].pendentes;
        ++voltas[size_t(esperado.volta)].decididos;
        marcar(esperado.volta, esperado.nota, Nota::perdido, esperado.familia, 0);
    }
    while (!esperados.empty() && esperados.front().decidido)
        esperados.pop_front();

    // A closed run is finished when its strokes are decided and no hit before its end waits.
    for (Volta &volta : voltas) {
        if (volta.entregue)
            continue;
        if (volta.fim == INT64_MAX && horizonte != INT64_MAX)
            break;
        bool esperaBatida = false;
        for (const Batida &batida : batidas)
            esperaBatida = esperaBatida || batida.instante < volta.fim;
        if (volta.pendentes > 0 || esperaBatida)
            break;
        volta.entregue = true;
        if (volta.resultado.esperados == 0 && volta.resultado.extras == 0)
            continue;  // an empty run (stopped right after a wrap) says nothing
        ResultadoAvaliacao resultado = volta.resultado;
        fecharEstatisticas(resultado);
        prontos.push_back(std::move(resultado));
    }
}

void Avaliador::fecharEstatisticas(ResultadoAvaliacao &resultado)
{
    const auto &desvios = resultado.desviosMs;
    if (desvios.empty()) {
        resultado.desvioMedioMs = 0;
        resultado.dispersaoMs = 0;
        return;
    }
    double soma = 0;
    for (double d : desvios)
        soma += d;
    const double media = soma / double(desvios.size());
    double quadrados = 0;
    for (double d : desvios)
        quadrados += (d - media) * (d - media);
    resultado.desvioMedioMs = media;
    resultado.dispersaoMs = std::sqrt(quadrados / double(desvios.size()));
}

std::vector<Avaliador::Marca> Avaliador::retirarMarcas()
{
    std::vector<Marca> saida;
    saida.swap(marcas);
    return saida;
}

std::vector<ResultadoAvaliacao> Avaliador::retirarResultados()
{
    std::vector<ResultadoAvaliacao> saida;
    saida.swap(prontos);
    return saida;
}

ResultadoAvaliacao Avaliador::parcial() const
{
    if (voltas.empty())
        return ResultadoAvaliacao{};
    // The newest run that has seen anything: right after a wrap the new run is
    // still empty, and the strip keeps showing the run that just ended.
    size_t k = voltas.size() - 1;
    if (k > 0 && voltas[k].resultado.esperados == 0 && voltas[k].resultado.extras == 0)
        --k;
    const Volta &volta = voltas[k];
    ResultadoAvaliacao resultado = volta.resultado;
    resultado.esperados = volta.decididos;
    fecharEstatisticas(resultado);
    return resultado;
}
