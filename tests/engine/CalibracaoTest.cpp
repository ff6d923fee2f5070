// Latency calibration from made-up strokes (microseconds).
#include "engine/Calibracao.h"

#include <gtest/gtest.h>

TEST(Calibracao, TheMedianOfTheLastTwelveStrokesIsTheLatency)
{
    Calibracao calibracao;
    calibracao.iniciar(5000000);
    // The first four clicks are struck wildly late (finding the pulse) and do not count;
    // then offsets 30 ms, with one stray stroke at 90 ms and one at -10 ms.
    for (int k = 0; k < Calibracao::numCliques; ++k) {
        int64_t desvio = k < 4 ? 250000 : 30000;
        if (k == 7)
            desvio = 90000;
        if (k == 9)
            desvio = -10000;
        calibracao.registrarBatida(calibracao.instanteDoClique(k) + desvio);
    }
    // A double stroke near click 10 does not count twice: its click takes the nearer one.
    calibracao.registrarBatida(calibracao.instanteDoClique(10) + 200000);
    const Calibracao::Resultado r = calibracao.resultado();
    EXPECT_EQ(r.batidas, 12);
    EXPECT_TRUE(r.valido);
    EXPECT_DOUBLE_EQ(r.latenciaMs, 30.0);
    EXPECT_GT(r.dispersaoMs, 10.0);
    EXPECT_LT(r.dispersaoMs, 30.0);
    EXPECT_EQ(calibracao.fim(), calibracao.instanteDoClique(15) + 300000);
}

TEST(Calibracao, FewerThanEightStrokesIsNotACalibration)
{
    Calibracao calibracao;
    calibracao.iniciar(0);
    EXPECT_EQ(calibracao.resultado().batidas, 0);
    EXPECT_FALSE(calibracao.resultado().valido);
    // Seven strokes on the counted clicks, plus strokes on the first four and one
    // exactly half an interval late (it belongs to the next click, which has none).
    for (int k = 0; k < 4; ++k)
        calibracao.registrarBatida(calibracao.instanteDoClique(k));
    for (int k = 4; k < 11; ++k)
        calibracao.registrarBatida(calibracao.instanteDoClique(k) - 20000);
    calibracao.registrarBatida(calibracao.instanteDoClique(15) + Calibracao::intervaloUs / 2);
    Calibracao::Resultado r = calibracao.resultado();
    EXPECT_EQ(r.batidas, 7);
    EXPECT_FALSE(r.valido);
    calibracao.registrarBatida(calibracao.instanteDoClique(12) - 40000);
    r = calibracao.resultado();
    EXPECT_EQ(r.batidas, 8);
    EXPECT_TRUE(r.valido);
    EXPECT_DOUBLE_EQ(r.latenciaMs, -20.0);  // an even count: the mean of the middle two
}

TEST(Calibracao, OffsetsCountFromWhenEachClickSounds)
{
    // The output places each click 10 ms after it is due; a drummer striking with what is
    // heard has no latency of their own.
    Calibracao calibracao;
    calibracao.iniciar(1000000, 10000);
    EXPECT_EQ(calibracao.devidoDoClique(3), 1000000 + 3 * Calibracao::intervaloUs);
    EXPECT_EQ(calibracao.instanteDoClique(3), calibracao.devidoDoClique(3) + 10000);
    // Click 5 was handed over too late and sounded when it was sent, 40 ms after it was due.
    calibracao.marcarClique(5, calibracao.devidoDoClique(5) + 40000);
    for (int k = 0; k < Calibracao::numCliques; ++k)
        calibracao.registrarBatida(calibracao.instanteDoClique(k));
    Calibracao::Resultado r = calibracao.resultado();
    EXPECT_EQ(r.batidas, 12);
    EXPECT_DOUBLE_EQ(r.latenciaMs, 0.0);
    EXPECT_DOUBLE_EQ(r.dispersaoMs, 0.0);
    EXPECT_EQ(calibracao.fim(), calibracao.devidoDoClique(15) + 10000 + Calibracao::intervaloUs / 2);

    // Striking on the due times instead is striking 10 ms before the sound.
    calibracao.iniciar(1000000, 10000);
    for (int k = 0; k < Calibracao::numCliques; ++k)
        calibracao.registrarBatida(calibracao.devidoDoClique(k));
    r = calibracao.resultado();
    EXPECT_DOUBLE_EQ(r.latenciaMs, -10.0);
}
