#include "practice/ResumoProgresso.h"

#include <algorithm>
#include <cmath>
#include <map>

QDateTime ResumoProgresso::inicioDaSemana(const QDateTime &agora)
{
    const QDateTime local = agora.toLocalTime();
    const QDate segunda = local.date().addDays(1 - local.date().dayOfWeek());
    return QDateTime(segunda, QTime(0, 0));
}

ResumoProgresso ResumoProgresso::calcular(const std::vector<ExecucaoPratica> &execucoes, const QDateTime &agora)
{
    ResumoProgresso resumo;
    const QDateTime semana = inicioDaSemana(agora);
    for (size_t i = 0; i < execucoes.size(); ++i) {
        const ExecucaoPratica &e = execucoes[i];
        if (e.quando >= semana)
            resumo.tempoSemanaMs += e.duracaoMs;
        // The best run: highest accuracy, then the steadier timing, then the latest.
        if (resumo.melhor < 0) {
            resumo.melhor = static_cast<int>(i);
            continue;
        }
        const ResultadoAvaliacao &a = e.resultado;
        const ResultadoAvaliacao &b = execucoes[resumo.melhor].resultado;
        if (a.precisao() > b.precisao() ||
            (a.precisao() == b.precisao() && std::abs(a.desvioMedioMs) <= std::abs(b.desvioMedioMs)))
            resumo.melhor = static_cast<int>(i);
    }

    std::map<int, ResultadoAvaliacao::Familia> familias;
    const size_t desde = execucoes.size() > execucoesRecentes ? execucoes.size() - execucoesRecentes : 0;
    for (size_t i = desde; i < execucoes.size(); ++i) {
        for (const auto &[familia, f] : execucoes[i].resultado.familias) {
            familias[familia].esperados += f.esperados;
            familias[familia].acertos += f.acertos;
        }
    }
    for (const auto &[familia, f] : familias) {
        if (f.esperados <= 0 || f.acertos >= f.esperados)
            continue;
        resumo.familiasFracas.push_back({familia, 100.0 * f.acertos / f.esperados, f.esperados});
    }
    std::stable_sort(resumo.familiasFracas.begin(), resumo.familiasFracas.end(),
                     [](const FamiliaFraca &a, const FamiliaFraca &b) { return a.precisao < b.precisao; });
    if (resumo.familiasFracas.size() > maximoFamiliasFracas)
        resumo.familiasFracas.resize(maximoFamiliasFracas);
    return resumo;
}
