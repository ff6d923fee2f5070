#include "practice/ResumoProgresso.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

ExecucaoPratica execucao(const QDateTime &quando, int esperados, int acertos, double desvio = 0)
{
    ExecucaoPratica e;
    e.quando = quando;
    e.duracaoMs = 1000;
    e.resultado.esperados = esperados;
    e.resultado.perfeitos = acertos;
    e.resultado.desvioMedioMs = desvio;
    return e;
}

}  // namespace

TEST(ResumoProgresso, TheWeekBeginsOnMondayAtMidnightLocalTime)
{
    // Wednesday 9 December 2026, 20:30 local.
    const QDateTime agora(QDate(2026, 12, 9), QTime(20, 30));
    EXPECT_EQ(ResumoProgresso::inicioDaSemana(agora), QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
    // On Monday itself, and on Sunday night (still the week before's Monday).
    EXPECT_EQ(ResumoProgresso::inicioDaSemana(QDateTime(QDate(2026, 12, 7), QTime(0, 0))),
              QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
    EXPECT_EQ(ResumoProgresso::inicioDaSemana(QDateTime(QDate(2026, 12, 6), QTime(23, 59))),
              QDateTime(QDate(2026, 11, 30), QTime(0, 0)));

    std::vector<ExecucaoPratica> execucoes = {
        execucao(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)), 10, 5),  // last week
        execucao(QDateTime(QDate(2026, 12, 7), QTime(0, 0)), 10, 5),
        execucao(QDateTime(QDate(2026, 12, 9), QTime(20, 0)).toUTC(), 10, 5),  // stored in UTC
    };
    EXPECT_EQ(ResumoProgresso::calcular(execucoes, agora).tempoSemanaMs, 2000);
}

TEST(ResumoProgresso, BestRunIsTheMostAccurateThenTheSteadiestThenTheLatest)
{
    const QDateTime t(QDate(2026, 12, 1), QTime(12, 0));
    EXPECT_EQ(ResumoProgresso::calcular({}, t).melhor, -1);
    EXPECT_TRUE(ResumoProgresso::calcular({}, t).familiasFracas.empty());
    EXPECT_EQ(ResumoProgresso::calcular({execucao(t, 10, 0)}, t).melhor, 0);
    // Accuracy first: 9 of 10 beats 17 of 20.
    EXPECT_EQ(ResumoProgresso::calcular({execucao(t, 20, 17), execucao(t, 10, 9), execucao(t, 10, 8)}, t).melhor, 1);
    // Equal accuracy: the smaller mean offset, early or late alike.
    EXPECT_EQ(ResumoProgresso::calcular({execucao(t, 10, 9, 12), execucao(t, 10, 9, -4), execucao(t, 10, 9, 6)}, t)
                  .melhor,
              1);
    // Equal in both: the latest.
    EXPECT_EQ(ResumoProgresso::calcular({execucao(t, 10, 9, 5), execucao(t, 10, 9, -5)}, t).melhor, 1);
}

TEST(ResumoProgresso, WeakestFamiliesComeFromTheLatestRunsLowestFirst)
{
    const QDateTime t(QDate(2026, 12, 1), QTime(12, 0));
    std::vector<ExecucaoPratica> execucoes;
    // An old run where the ride was hopeless: too old to count.
    execucoes.push_back(execucao(t, 10, 0));
    execucoes.back().resultado.familias[51] = {10, 0};
    for (int i = 0; i < ResumoProgresso::execucoesRecentes; ++i) {
        ExecucaoPratica e = execucao(t, 40, 30);
        e.resultado.familias[35] = {10, 10};  // perfect: never weak
        e.resultado.familias[37] = {10, 7};
        e.resultado.familias[42] = {10, 5};
        e.resultado.familias[49] = {5, 4};
        e.resultado.familias[45] = {5, 4};
        execucoes.push_back(e);
    }
    const ResumoProgresso r = ResumoProgresso::calcular(execucoes, t);
    ASSERT_EQ(r.familiasFracas.size(), static_cast<size_t>(ResumoProgresso::maximoFamiliasFracas));
    EXPECT_EQ(r.familiasFracas[0].familia, 42);
    EXPECT_DOUBLE_EQ(r.familiasFracas[0].precisao, 50.0);
    EXPECT_EQ(r.familiasFracas[0].esperados, 100);
    EXPECT_EQ(r.familiasFracas[1].familia, 37);
    // 45 and 49 tie at 80 %: the lower note first, a stable order.
    EXPECT_EQ(r.familiasFracas[2].familia, 45);
}
