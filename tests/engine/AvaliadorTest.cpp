// The Play Along scorer on made-up timelines (microseconds).
#include "engine/Avaliador.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t ms = 1000;
constexpr int64_t s = 1000 * ms;

using Nota = Avaliador::Nota;

// One stroke at 1 s and one hit; everything decided.
std::vector<Avaliador::Marca> umToque(int32_t notaEsperada, int32_t notaTocada, int64_t desvio)
{
    Avaliador avaliador;
    avaliador.iniciar();
    avaliador.esperar(notaEsperada, 1 * s);
    avaliador.avancar(1 * s);
    avaliador.tocar(notaTocada, 1 * s + desvio);
    avaliador.terminar();
    return avaliador.retirarMarcas();
}

} // namespace

TEST(Avaliador, GradeBoundariesAreInclusiveAndSymmetric)
{
    const struct {
        int64_t desvio;
        Nota nota;
    } casos[] = {
        {0, Nota::perfeito},        {25 * ms, Nota::perfeito}, {-25 * ms, Nota::perfeito},
        {25 * ms + 1, Nota::bom},   {-25 * ms - 1, Nota::bom}, {60 * ms, Nota::bom},
        {-60 * ms, Nota::bom},      {60 * ms + 1, Nota::ok},   {100 * ms, Nota::ok},
        {-100 * ms, Nota::ok},
    };
    for (const auto &caso : casos) {
        const auto marcas = umToque(38, 38, caso.desvio);
        ASSERT_EQ(marcas.size(), 1u) << caso.desvio;
        EXPECT_EQ(marcas[0].tipo, caso.nota) << caso.desvio;
        EXPECT_DOUBLE_EQ(marcas[0].desvioMs, double(caso.desvio) / 1000.0);
    }
    // Just past the limit, on either side: the hit is an extra and the stroke a miss.
    for (int64_t desvio : {100 * ms + 1, -100 * ms - 1}) {
        const auto marcas = umToque(38, 38, desvio);
        ASSERT_EQ(marcas.size(), 2u) << desvio;
        int extras = 0, perdidos = 0;
        for (const auto &marca : marcas) {
            extras += marca.tipo == Nota::extra;
            perdidos += marca.tipo == Nota::perdido;
        }
        EXPECT_EQ(extras, 1);
        EXPECT_EQ(perdidos, 1);
    }
}

TEST(Avaliador, HitsMatchOnlyTheirDrumFamily)
{
    const struct {
        int32_t esperada, tocada;
        bool casa;
    } casos[] = {
        {35, 36, true},  {36, 35, true},  {38, 40, true},  {38, 37, true},  {42, 46, true},
        {42, 44, true},  {46, 42, true},  {49, 57, true},  {52, 55, true},  {51, 59, true},
        {53, 51, true},  {39, 39, true},  {81, 81, true},  {45, 47, false}, {47, 45, false},
        {41, 43, false}, {48, 50, false}, {49, 51, false}, {38, 42, false}, {35, 38, false},
    };
    for (const auto &caso : casos) {
        const auto marcas = umToque(caso.esperada, caso.tocada, 10 * ms);
        const bool casou = marcas.size() == 1 && marcas[0].tipo == Nota::perfeito;
        EXPECT_EQ(casou, caso.casa) << caso.esperada << " struck as " << caso.tocada;
    }
    // Families as the results panel keys them.
    EXPECT_EQ(Avaliador::familia(36), 35);
    EXPECT_EQ(Avaliador::familia(40), 37);
    EXPECT_EQ(Avaliador::familia(44), 42);
    EXPECT_EQ(Avaliador::familia(55), 49);
    EXPECT_EQ(Avaliador::familia(59), 51);
    EXPECT_EQ(Avaliador::familia(45), 45);
}

TEST(Avaliador, AHitBetweenTwoStrokesTakesTheNearestEvenBeforeItIsKnown)
{
    // Strokes at 1.00 s and 1.15 s; the hit at 1.08 s comes before the second stroke's
    // tick is handled, and must wait for it rather than take the first.
    Avaliador avaliador;
    avaliador.iniciar();
    avaliador.esperar(38, 1000 * ms);
    avaliador.avancar(1000 * ms);
    avaliador.tocar(38, 1080 * ms);
    avaliador.avancar(1100 * ms);
    EXPECT_TRUE(avaliador.retirarMarcas().empty()) << "decided before the nearer stroke was known";
    avaliador.esperar(38, 1150 * ms);
    avaliador.avancar(1150 * ms);
    auto marcas = avaliador.retirarMarcas();
    ASSERT_EQ(marcas.size(), 1u);
    EXPECT_EQ(marcas[0].tipo, Nota::ok);
    EXPECT_DOUBLE_EQ(marcas[0].desvioMs, -70.0);
    avaliador.avancar(1000 * ms + Avaliador::limiteUs + Avaliador::folgaEntregaUs);
    marcas = avaliador.retirarMarcas();
    ASSERT_EQ(marcas.size(), 1u);
    EXPECT_EQ(marcas[0].tipo, Nota::perdido);  // nobody left to take the first stroke

    // A late hit nearer the earlier stroke is decided as soon as the horizon passes it by
    // its offset, without waiting for the full limit.
    avaliador.iniciar();
    avaliador.esperar(38, 1000 * ms);
    avaliador.avancar(1000 * ms);
    avaliador.tocar(38, 1030 * ms);
    avaliador.avancar(1050 * ms);
    EXPECT_TRUE(avaliador.retirarMarcas().empty());
    avaliador.avancar(1060 * ms);
    marcas = avaliador.retirarMarcas();
    ASSERT_EQ(marcas.size(), 1u);
    EXPECT_DOUBLE_EQ(marcas[0].desvioMs, 30.0);

    // An early hit for a stroke whose tick has not been handled yet.
    avaliador.iniciar();
    avaliador.avancar(900 * ms);
    avaliador.tocar(36, 980 * ms);
    avaliador.avancar(990 * ms);
    EXPECT_TRUE(avaliador.retirarMarcas().empty());
    avaliador.esperar(35, 1000 * ms);
    avaliador.avancar(1000 * ms);
    marcas = avaliador.retirarMarcas();
    ASSERT_EQ(marcas.size(), 1u);
    EXPECT_EQ(marcas[0].tipo, Nota::perfeito);
    EXPECT_DOUBLE_EQ(marcas[0].desvioMs, -20.0);
}

TEST(Avaliador, MissesExtrasStreakAndTotals)
{
    Avaliador avaliador;
    avaliador.iniciar();
    // Snare at 0.5, 1.0, 1.5, 2.0 s; bass at 1.0 s. Hits: snare +10, +10 twice (the second
    // an extra), nothing at 1.5, -40 at 2.0; bass +30; a crash nobody asked for.
    for (int64_t t : {500 * ms, 1000 * ms, 1500 * ms, 2000 * ms})
        avaliador.esperar(38, t);
    avaliador.esperar(36, 1000 * ms);
    avaliador.avancar(499 * ms);
    avaliador.tocar(38, 510 * ms);
    avaliador.avancar(1000 * ms);
    avaliador.tocar(38, 1010 * ms);
    avaliador.tocar(38, 1020 * ms);
    avaliador.tocar(35, 1030 * ms);
    avaliador.tocar(49, 1200 * ms);
    const int64_t prazo = 1500 * ms + Avaliador::limiteUs + Avaliador::folgaEntregaUs;
    avaliador.avancar(prazo - 1);
    EXPECT_EQ(avaliador.parcial().perdidos, 0) << "the miss is due only once a late-delivered hit cannot come";
    EXPECT_EQ(avaliador.getSequencia(), 0) << "the extras broke the streak";
    avaliador.avancar(prazo);
    EXPECT_EQ(avaliador.parcial().perdidos, 1);
    avaliador.tocar(38, 1960 * ms);
    avaliador.avancar(2100 * ms);
    EXPECT_EQ(avaliador.getSequencia(), 1);
    EXPECT_TRUE(avaliador.retirarResultados().empty()) << "the run is still open";
    avaliador.terminar();

    const auto resultados = avaliador.retirarResultados();
    ASSERT_EQ(resultados.size(), 1u);
    const ResultadoAvaliacao &r = resultados[0];
    EXPECT_EQ(r.esperados, 5);
    EXPECT_EQ(r.perfeitos, 2);
    EXPECT_EQ(r.bons, 2);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.perdidos, 1);
    EXPECT_EQ(r.extras, 2);
    EXPECT_EQ(r.desviosMs, (std::vector<double>{10, 10, 30, -40}));
    EXPECT_DOUBLE_EQ(r.desvioMedioMs, 2.5);
    EXPECT_NEAR(r.dispersaoMs, std::sqrt((56.25 * 2 + 756.25 + 1806.25) / 4), 1e-9);
    EXPECT_EQ(r.familias.at(37).esperados, 4);
    EXPECT_EQ(r.familias.at(37).acertos, 3);
    EXPECT_EQ(r.familias.at(35).acertos, 1);
    EXPECT_DOUBLE_EQ(r.precisao(), 80.0);
    // Nothing more after the end.
    avaliador.tocar(38, 2500 * ms);
    EXPECT_TRUE(avaliador.retirarResultados().empty());
}

TEST(Avaliador, EachLoopRepeatIsARunOfItsOwnAtAnyTempo)
{
    // A two-stroke loop played three times, the third after a tempo change (500 ms, then
    // 400 ms between strokes). Every hit is 20 ms late but the first of the second and
    // third repeats, 10 ms early: before the wrap was handled, yet counted in the new run.
    struct Passo {
        int64_t instante;
        char tipo;  // 'e' stroke, 't' hit, 'v' the loop wraps
    };
    std::vector<Passo> passos;
    int64_t inicio = 1 * s;
    const int64_t intervalos[3] = {500 * ms, 500 * ms, 400 * ms};
    for (int volta = 0; volta < 3; ++volta) {
        const int64_t d = intervalos[volta];
        passos.push_back({inicio, 'e'});
        passos.push_back({inicio + d, 'e'});
        passos.push_back({inicio + (volta == 0 ? 20 * ms : -10 * ms), 't'});
        passos.push_back({inicio + d + 20 * ms, 't'});
        inicio += 2 * d;
        if (volta < 2)
            passos.push_back({inicio - 5 * ms, 'v'});
    }
    std::stable_sort(passos.begin(), passos.end(),
                     [](const Passo &a, const Passo &b) { return a.instante < b.instante; });

    Avaliador avaliador;
    avaliador.iniciar();
    for (const Passo &passo : passos) {
        avaliador.avancar(passo.instante);
        if (passo.tipo == 'e')
            avaliador.esperar(36, passo.instante);
        else if (passo.tipo == 't')
            avaliador.tocar(35, passo.instante);
        else
            avaliador.fecharVolta(passo.instante);
    }
    avaliador.avancar(inicio + 300 * ms);
    auto resultados = avaliador.retirarResultados();
    EXPECT_EQ(resultados.size(), 2u) << "the first two runs are handed out while the third plays";
    avaliador.terminar();
    for (auto &r : avaliador.retirarResultados())
        resultados.push_back(std::move(r));

    ASSERT_EQ(resultados.size(), 3u);
    const std::vector<double> esperados[3] = {{20, 20}, {-10, 20}, {-10, 20}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(resultados[size_t(k)].esperados, 2) << k;
        EXPECT_EQ(resultados[size_t(k)].perdidos, 0) << k;
        EXPECT_EQ(resultados[size_t(k)].extras, 0) << k;
        EXPECT_EQ(resultados[size_t(k)].desviosMs, esperados[k]) << k;
    }
    EXPECT_DOUBLE_EQ(resultados[0].desvioMedioMs, 20.0);
    EXPECT_DOUBLE_EQ(resultados[0].dispersaoMs, 0.0);
    EXPECT_DOUBLE_EQ(resultados[1].desvioMedioMs, 5.0);
}

// On a busy machine a hit arrives after the sequencer has moved on past its stroke's
// limit; its own time still decides, so it is no miss plus an extra.
TEST(Avaliador, AHitDeliveredLateStillTakesItsStroke)
{
    Avaliador avaliador;
    avaliador.iniciar();
    avaliador.esperar(38, 1 * s);
    avaliador.esperar(38, 2 * s);
    avaliador.avancar(1 * s + Avaliador::limiteUs + Avaliador::folgaEntregaUs / 2);
    avaliador.tocar(38, 1 * s + 20 * ms);
    avaliador.avancar(3 * s);
    avaliador.terminar();
    const auto resultados = avaliador.retirarResultados();
    ASSERT_EQ(resultados.size(), 1u);
    EXPECT_EQ(resultados[0].perfeitos, 1);
    EXPECT_EQ(resultados[0].extras, 0);
    EXPECT_EQ(resultados[0].perdidos, 1) << "the second stroke had no hit";
}
