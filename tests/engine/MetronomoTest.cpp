#include "AmbienteMotor.h"
#include "common/InstrumentoGravador.h"

#include "engine/AcessoGui.h"
#include "engine/EventoAndamento.h"
#include "engine/Metronomo.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "settings/ArquivoConfiguracao.h"
#include "song/EventoGenerico.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"

#include <gtest/gtest.h>

namespace {

class ReceptorAndamentos : public AcessoGui::Receptor {
public:
    void exibirPosicao() override {}
    void exibirAndamento(int32_t valor) override { andamentos.append(valor); }
    QList<int32_t> andamentos;
};

// Count-in and metronome clicks, observed in the capture between markers: every
// tick of the test songs sends a control change that names its tick, so the
// place of each click among the song's ticks is exact however fast the clock runs.
class MetronomoTest : public TesteMotor<ReceptorAndamentos> {
protected:
    // A song of one track: a tempo event at tick 0 (none when bpm is 0), a marker
    // on every tick 0..ultimo and the extra events; then the time signature.
    Musica *instalar(int32_t ultimo, int32_t bpm, int32_t numerador = 4, int32_t denominador = 4,
                     std::vector<EventoSequenciamento *> extras = {})
    {
        auto trilha = std::make_unique<Trilha>();
        if (bpm > 0)
            trilha->adicionarEvento(std::make_unique<EventoAndamento>(0, 0, bpm));
        for (int32_t t = 0; t <= ultimo; ++t)
            trilha->adicionarEvento(std::make_unique<EventoGenerico>(t, 0xB0, 0, 20 + t / 128, t % 128));
        for (EventoSequenciamento *e : extras)
            trilha->adicionarEvento(std::unique_ptr<EventoSequenciamento>(e));
        auto musica = std::make_unique<Musica>();
        musica->adicionarTrilha(std::move(trilha));
        musica->setCompasso(numerador, denominador);
        Musica *instalada = musica.get();
        GerenciadorMusica::instancia().setMusica(std::move(musica));
        GerenciadorMusica::instancia().setTotalTicks(100000);
        GerenciadorMusica::instancia().setTotalTempos(100000 / 64 + 1);
        return instalada;
    }

    // What was sent: "5" for the marker of tick 5, "A" an accented click (76),
    // "b" a plain click (77), "d38" a drum stroke of the song.
    static QStringList sequencia(qint64 marca)
    {
        QStringList s;
        for (const AmbienteMotor::Mensagem &m : AmbienteMotor::desde(marca)) {
            if (m.status == 0xB0 && m.dado1 >= 20 && m.dado1 < 40)
                s.append(QString::number((m.dado1 - 20) * 128 + m.dado2));
            else if (m.status == 0x99 && m.dado1 == Metronomo::notaAcento && m.dado2 > 0)
                s.append(QStringLiteral("A"));
            else if (m.status == 0x99 && m.dado1 == Metronomo::notaBatida && m.dado2 > 0)
                s.append(QStringLiteral("b"));
            else if (m.status == 0x99 && m.dado2 > 0)
                s.append(QStringLiteral("d%1").arg(m.dado1));
        }
        return s;
    }

    // Plays from the current position until the marker of that tick was sent, then pauses.
    QStringList tocarAte(int32_t tick, qint64 marca)
    {
        const QString alvo = QString::number(tick);
        sequenciador.tocar();
        EXPECT_TRUE(AmbienteMotor::esperar([&] { return sequencia(marca).contains(alvo); }));
        sequenciador.pausar();
        return sequencia(marca);
    }

    // The clicks and the ticks they came before, in order: "A@0" is an accent
    // just before the marker of tick 0; clicks of a count-in before tick t are "A@t" too.
    static QStringList cliques(const QStringList &s)
    {
        QStringList c;
        QStringList pendentes;
        for (const QString &item : s) {
            if (item == QLatin1String("A") || item == QLatin1String("b")) {
                pendentes.append(item);
            } else if (!item.startsWith(QLatin1Char('d'))) {
                for (const QString &p : pendentes)
                    c.append(p + QLatin1Char('@') + item);
                pendentes.clear();
            }
        }
        return c;
    }

    Metronomo &metronomo = Sequenciador::instancia().getMetronomo();
};

TEST_F(MetronomoTest, BeatsAndBarsFollowTheTimeSignature)
{
    // {numerator, denominator} -> ticks per beat, per bar; nonsense reads as 4/4.
    const std::vector<std::tuple<int, int, int, int>> casos{
        {4, 4, 64, 256}, {3, 4, 64, 192}, {6, 8, 32, 192}, {7, 8, 32, 224}, {2, 2, 128, 256}, {5, 16, 16, 80},
        {0, 4, 64, 256}, {3, 0, 64, 256}, {3, 6, 64, 256}, {33, 4, 64, 256}, {3, 128, 64, 256},
    };
    for (const auto &[n, d, batida, compasso] : casos) {
        Musica musica;
        musica.setCompasso(n, d);
        EXPECT_EQ(Metronomo::ticksPorBatida(&musica), batida) << n << "/" << d;
        EXPECT_EQ(Metronomo::ticksPorCompasso(&musica), compasso) << n << "/" << d;
    }
    EXPECT_EQ(Metronomo::ticksPorCompasso(nullptr), 256);
}

TEST_F(MetronomoTest, TheImportReadsTheFirstTimeSignature)
{
    const QString caminho = AmbienteMotor::arquivo(QStringLiteral("compasso.mid"));
    auto compasso = [](uint32_t tick, char n, char expoente) {
        const char dados[] = {n, expoente, 24, 8};
        return MetaTeste{tick, 0x58, QByteArray(dados, 4)};
    };
    struct Caso {
        std::vector<MetaTeste> primeira;
        std::vector<MetaTeste> segunda;
        int numerador, denominador;
    };
    const std::vector<Caso> casos{
        {{compasso(0, 3, 2)}, {}, 3, 4},
        {{compasso(0, 6, 3)}, {}, 6, 8},
        {{compasso(0, 7, 3), compasso(192, 4, 2)}, {}, 7, 8},  // the first one counts
        {{}, {compasso(0, 3, 2)}, 3, 4},                       // found in a later track
        {{}, {}, 4, 4},                                        // none
        {{compasso(0, 0, 2)}, {}, 4, 4},                       // unreadable
    };
    SaidaMIDI &saida = SaidaMIDI::instancia();
    for (const Caso &caso : casos) {
        ASSERT_TRUE(gravarMidi(caminho, 96, {{emTicks({{0, 0xB0, 7, 100}}), caso.primeira}, {emTicks({{0, 0x99, 36, 100}}), caso.segunda}}));
        saida.carregarArquivo(caminho);
        const Musica *musica = GerenciadorMusica::instancia().getMusica();
        ASSERT_NE(musica, nullptr);
        EXPECT_EQ(musica->getNumeradorCompasso(), caso.numerador);
        EXPECT_EQ(musica->getDenominadorCompasso(), caso.denominador);
    }
}

TEST_F(MetronomoTest, CountInIsOneBarBeforeAStartFromAStopOnly)
{
    // {numerator, denominator}: the count-in's clicks come on its beats, the first
    // accented, and the song's tick 0 one beat after the last click.
    for (const auto &[n, d] : std::vector<std::pair<int, int>>{{4, 4}, {3, 4}, {6, 8}, {7, 8}}) {
        SCOPED_TRACE(testing::Message() << n << "/" << d);
        Musica *musica = instalar(2000, 2000, n, d);
        metronomo.setContagem(true);
        metronomo.iniciarContagem(musica);
        // The count-in alone, tick by tick: the clicks' places within the bar.
        QList<int> ticksDosCliques;
        QStringList notas;
        int ticks = 0;
        for (qint64 marca = AmbienteMotor::marca(); metronomo.emContagem(); ++ticks, marca = AmbienteMotor::marca()) {
            metronomo.contarTick(musica);
            for (const QString &s : sequencia(marca)) {
                ticksDosCliques.append(ticks);
                notas.append(s);
            }
        }
        const int batida = 256 / d;
        EXPECT_EQ(ticks, n * batida);
        QList<int> esperados;
        QStringList notasEsperadas{QStringLiteral("A")};
        for (int k = 0; k < n; ++k)
            esperados.append(k * batida);
        for (int k = 1; k < n; ++k)
            notasEsperadas.append(QStringLiteral("b"));
        EXPECT_EQ(ticksDosCliques, esperados);
        EXPECT_EQ(notas, notasEsperadas);

        // Through the sequencer: a start from a stop counts in, before tick 0.
        sequenciador.parar();
        qint64 marca = AmbienteMotor::marca();
        QStringList s = tocarAte(2, marca);
        QStringList antesDoInicio;
        for (int k = 0; k < n; ++k)
            antesDoInicio.append(notasEsperadas[k] + QStringLiteral("@0"));
        EXPECT_EQ(cliques(s), antesDoInicio);
        EXPECT_EQ(s.mid(n, 3), (QStringList{"0", "1", "2"}));
        // Resuming from a pause does not count in again.
        marca = AmbienteMotor::marca();
        sequenciador.tocar();
        EXPECT_TRUE(AmbienteMotor::esperar([&] { return sequencia(marca).size() >= 3; }));
        sequenciador.pausar();
        s = sequencia(marca);
        EXPECT_FALSE(s.contains(QStringLiteral("A")) || s.contains(QStringLiteral("b"))) << s.join(' ').toStdString();
    }
    // Count-in off: nothing before the song.
    metronomo.setContagem(false);
    instalar(2, 2000);
    sequenciador.parar();
    const qint64 marca = AmbienteMotor::marca();
    EXPECT_EQ(tocarAte(2, marca).mid(0, 3), (QStringList{"0", "1", "2"}));
}

TEST_F(MetronomoTest, CountInPlaysAtTheStartingTicksTempoTimesTheSpeed)
{
    // Tempo events at ticks 0 (1000 BPM) and 100 (2000 BPM); start at 150 at 50 %.
    instalar(160, 0, 4, 4, {new EventoAndamento(0, 0, 1000), new EventoAndamento(100, 0, 2000)});
    metronomo.setContagem(true);
    sequenciador.setAndamento(90);
    sequenciador.setFatorVelocidade(0.5);
    sequenciador.parar();
    sequenciador.setPosicao(150);
    sequenciador.tocar();
    // The song's tempo at 150 is 2000; at 50 % that is 1000, kept within 40..240.
    EXPECT_EQ(sequenciador.getAndamentoMusica(), 2000);
    EXPECT_EQ(sequenciador.getAndamento(), 240);
    EXPECT_EQ(receptor.andamentos.last(), 240);
    sequenciador.parar();
    // Before any tempo event: 120 times the speed.
    sequenciador.setPosicao(0);
    instalar(10, 0);
    sequenciador.tocar();
    EXPECT_EQ(sequenciador.getAndamento(), 60);
    sequenciador.parar();
}

TEST_F(MetronomoTest, TheMetronomeClicksEveryBeatAccentingBarsAndPlayAlongKeepsIt)
{
    // 3/4 with a drum stroke at tick 64 of the shown track, in play-along.
    instalar(260, 2000, 3, 4, {new EventoNoteOn(64, 9, 38, 100)});
    metronomo.setLigado(true);
    sequenciador.setPlayAlong(true);
    const qint64 marca = AmbienteMotor::marca();
    const QStringList s = tocarAte(260, marca);
    EXPECT_EQ(cliques(s), (QStringList{"A@0", "b@64", "b@128", "A@192", "b@256"}));
    EXPECT_FALSE(s.contains(QStringLiteral("d38")));  // the song's drums are withheld
    EXPECT_EQ(kit->chamadas, (QStringList{"+38"}));   // the clicks never reach the kit
    // At the metronome's own volume: 50 % gives velocity 64; 0 sends nothing.
    for (const auto &[volume, velocidade] : std::vector<std::pair<int, int>>{{50, 64}, {100, 127}, {0, -1}}) {
        metronomo.setVolume(volume);
        const qint64 antes = AmbienteMotor::marca();
        metronomo.clicar(GerenciadorMusica::instancia().getMusica(), 192);
        const QList<AmbienteMotor::Mensagem> enviadas = AmbienteMotor::desde(antes);
        if (velocidade < 0)
            EXPECT_TRUE(enviadas.isEmpty());
        else
            EXPECT_EQ(enviadas, (QList<AmbienteMotor::Mensagem>{AmbienteMotor::m(0x99, Metronomo::notaAcento, velocidade)}));
    }
    // Off: a beat is silent.
    metronomo.setLigado(false);
    const qint64 antes = AmbienteMotor::marca();
    metronomo.clicar(GerenciadorMusica::instancia().getMusica(), 0);
    EXPECT_TRUE(AmbienteMotor::desde(antes).isEmpty());
}

TEST_F(MetronomoTest, EachLoopRepeatCountsInAndPlaysTheLoopStartAgain)
{
    instalar(40, 2000);
    metronomo.setContagem(true);
    sequenciador.parar();
    sequenciador.setPosicao(16);
    sequenciador.marcarLoop();
    sequenciador.setPosicao(24);
    sequenciador.marcarLoop();  // the loop turns on: a count-in before its start
    sequenciador.setPosicao(16);
    const qint64 marca = AmbienteMotor::marca();
    sequenciador.tocar();
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return sequencia(marca).count(QStringLiteral("24")) >= 3; }));
    sequenciador.pausar();
    QStringList s = sequencia(marca);
    const QStringList contagem{"A", "b", "b", "b"};
    const QStringList passada{"16", "17", "18", "19", "20", "21", "22", "23", "24"};
    ASSERT_GE(s.size(), 3 * (4 + 9));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(s.mid(k * 13, 4), contagem) << k;
        EXPECT_EQ(s.mid(k * 13 + 4, 9), passada) << k;
    }
}

TEST_F(MetronomoTest, TheTrainerStepsAtEachRepeatUntilTheTarget)
{
    // Whole percentages towards the target, never past it, down as well as up.
    TreinadorAndamento t;
    t.configurar(70, 15, 100);
    EXPECT_DOUBLE_EQ(t.fatorInicial(), 0.7);
    EXPECT_DOUBLE_EQ(t.proximoFator(0.7), 0.85);
    EXPECT_DOUBLE_EQ(t.proximoFator(0.85), 1.0);
    EXPECT_DOUBLE_EQ(t.proximoFator(1.0), 1.0);
    EXPECT_DOUBLE_EQ(t.proximoFator(1.3), 1.15);
    t.configurar(120, 30, 80);
    EXPECT_DOUBLE_EQ(t.proximoFator(1.2), 0.9);
    EXPECT_DOUBLE_EQ(t.proximoFator(0.9), 0.8);
    t.configurar(10, 0, 500);  // clamped to 25..200 and a step of at least 1
    EXPECT_EQ(t.getInicio(), 25);
    EXPECT_EQ(t.getPasso(), 1);
    EXPECT_EQ(t.getAlvo(), 200);

    // In the sequencer: the loop's first pass at the start speed, then a step at each wrap.
    instalar(40, 200);
    TreinadorAndamento &treinador = sequenciador.getTreinador();
    treinador.configurar(70, 10, 100);
    treinador.setLigado(true);
    sequenciador.setAndamento(200);
    sequenciador.setPosicao(0);
    sequenciador.marcarLoop();
    sequenciador.setPosicao(32);
    sequenciador.marcarLoop();
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 0.7);
    EXPECT_EQ(sequenciador.getAndamento(), 140);
    sequenciador.setPosicao(0);
    receptor.andamentos.clear();
    sequenciador.tocar();
    // The song's tempo event at tick 0 is not played again on repeats (the loop
    // goes on from tick 1), so each report here is one wrap.
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return receptor.andamentos.size() >= 6; }));
    sequenciador.pausar();
    EXPECT_EQ(receptor.andamentos.mid(0, 6), (QList<int32_t>{140, 160, 180, 200, 200, 200}));
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 1.0);
}

}  // namespace
