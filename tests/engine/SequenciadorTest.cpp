#include "AmbienteMotor.h"
#include "common/InstrumentoGravador.h"

#include "engine/AcessoGui.h"
#include "engine/EventoAndamento.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "settings/ArquivoConfiguracao.h"
#include "song/EventoGenerico.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSync.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using M = AmbienteMotor::Mensagem;

// Stands for the player window: records the reports and, like the window,
// stops the player at the first report at or after a given tick.
class ReceptorTeste : public AcessoGui::Receptor {
public:
    void exibirPosicao() override
    {
        const int32_t posicao = Sequenciador::instancia().getPosicao();
        posicoes.append(posicao);
        enviadasNoRelato.append(static_cast<int>(AmbienteMotor::desde(marca).size()));
        if (fim >= 0 && posicao >= fim)
            Sequenciador::instancia().parar();
    }
    void exibirAndamento(int32_t valor) override { andamentos.append(valor); }
    void exibirAvaliacao() override
    {
        for (ResultadoAvaliacao &r : Sequenciador::instancia().getAvaliador().retirarResultados())
            resultados.push_back(std::move(r));
    }

    qint64 marca = 0;
    int32_t fim = -1;
    QList<int32_t> posicoes;
    QList<int> enviadasNoRelato;  // messages sent before each report
    QList<int32_t> andamentos;
    std::vector<ResultadoAvaliacao> resultados;
};

class SequenciadorTest : public TesteMotor<ReceptorTeste> {
protected:
    // A song of tracks given as lists of events.
    void instalar(std::vector<std::vector<EventoSequenciamento *>> trilhas, int32_t total)
    {
        auto musica = std::make_unique<Musica>();
        for (auto &eventos : trilhas) {
            auto trilha = std::make_unique<Trilha>();
            for (EventoSequenciamento *e : eventos)
                trilha->adicionarEvento(std::unique_ptr<EventoSequenciamento>(e));
            musica->adicionarTrilha(std::move(trilha));
        }
        GerenciadorMusica::instancia().setMusica(std::move(musica));
        GerenciadorMusica::instancia().setTotalTicks(total);
        GerenciadorMusica::instancia().setTotalTempos(total / 64 + 1);
    }

    // Plays from the current position at a high tempo until the receiver stops it.
    void tocarAteParar(int32_t fim)
    {
        receptor.fim = fim;
        receptor.marca = AmbienteMotor::marca();
        sequenciador.setAndamento(3000);  // 312 us per tick
        sequenciador.tocar();
        ASSERT_TRUE(AmbienteMotor::esperar([&] { return !sequenciador.estaTocando(); }));
    }

    uint32_t tempoDoRelogio()
    {
        TSonoMidiSync *relogio = sequenciador.getSincronizador();
        return relogio->SonoMidi->GetTempo(relogio->GetHandle());
    }

};

TEST_F(SequenciadorTest, TheClockGetsTheLengthOfOneTick)
{
    for (const auto &[bpm, micros] : std::vector<std::pair<int, uint32_t>>{{120, 7812}, {40, 23437}, {240, 3906}, {100, 9375}, {1, 937500}, {2000, 468}}) {
        sequenciador.setAndamento(bpm);
        sequenciador.tocar();
        EXPECT_TRUE(sequenciador.estaTocando());
        EXPECT_EQ(tempoDoRelogio(), micros) << bpm;
        sequenciador.pausar();
    }
    // A change while running restarts the clock at the new length; while stopped
    // it is only handed over.
    sequenciador.setAndamento(120);
    sequenciador.tocar();
    sequenciador.setAndamento(150);
    EXPECT_TRUE(sequenciador.estaTocando());
    EXPECT_EQ(tempoDoRelogio(), 6250u);
    sequenciador.pausar();
    sequenciador.setAndamento(100);
    EXPECT_FALSE(sequenciador.estaTocando());
    EXPECT_EQ(tempoDoRelogio(), 9375u);
    for (const int invalido : {0, -1}) {
        sequenciador.setAndamento(invalido);
        EXPECT_EQ(sequenciador.getAndamento(), 100);
        EXPECT_EQ(tempoDoRelogio(), 9375u);
    }
}

// A tempo change while the clock runs stops it (its sync-done message comes), hands
// it the new length and starts it again: the first beat after the change is one new
// tick after the change, not after the beat before it. While stopped the clock only
// takes the length.
TEST_F(SequenciadorTest, ATempoChangeWhilePlayingStopsTheClockSetsTheTempoAndStartsItAgain)
{
    std::vector<EventoSequenciamento *> eventos;
    for (int32_t t = 0; t < 4096; ++t)
        eventos.push_back(new EventoGenerico(t, 0xB0, 0, 1, t % 128));
    instalar({eventos}, 4096);
    TSonoMidiSync *relogio = sequenciador.getSincronizador();
    const TNotifyEvent original = relogio->OnMidiBeat;
    std::vector<int64_t> devidos;  // due time of every beat the clock posts, in microseconds
    relogio->OnMidiBeat = [&](QObject *emissor) {
        devidos.push_back(relogio->BeatDueTime());
        original(emissor);
    };
    int paradas = 0;
    relogio->OnSyncDone = [&](QObject *) { ++paradas; };
    struct Devolver {  // the clock outlives this test: its handlers must not keep our locals
        TSonoMidiSync *relogio;
        TNotifyEvent original;
        ~Devolver()
        {
            Sequenciador::instancia().parar();
            relogio->OnMidiBeat = original;
            relogio->OnSyncDone = nullptr;
        }
    } devolver{relogio, original};
    auto agora = [] {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };

    sequenciador.setAndamento(3000);  // 312 us a tick
    sequenciador.tocar();
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return devidos.size() >= 8; }));
    ASSERT_EQ(paradas, 0);
    const int64_t antes = agora();
    sequenciador.setAndamento(10);  // 93750 us a tick
    const int64_t depois = agora();
    EXPECT_TRUE(sequenciador.estaTocando());
    EXPECT_EQ(tempoDoRelogio(), 93750u);
    // Beats posted before the stop may still arrive; the first one after it is due a whole new tick later.
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return !devidos.empty() && devidos.back() > depois; }));
    EXPECT_EQ(paradas, 1);
    int64_t primeiro = 0;
    for (int64_t devido : devidos) {
        if (devido > depois) {
            primeiro = devido;
            break;
        }
    }
    EXPECT_GE(primeiro, antes + 93750);
    EXPECT_LE(primeiro, depois + 93750);

    // Stopped: the length is handed over, the clock neither stops again nor starts.
    sequenciador.pausar();
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return paradas == 2; }));
    sequenciador.setAndamento(3000);
    EXPECT_FALSE(sequenciador.estaTocando());
    EXPECT_EQ(tempoDoRelogio(), 312u);
    // A stop posts its message before it returns: it would be here by now.
    QCoreApplication::processEvents();
    EXPECT_EQ(paradas, 2);
}

TEST_F(SequenciadorTest, TransportKeepsOrRewindsThePosition)
{
    sequenciador.setPosicao(500);
    sequenciador.pausar();
    sequenciador.parar();
    EXPECT_FALSE(sequenciador.estaTocando());
    EXPECT_EQ(sequenciador.getPosicao(), 0);
    // A closed clock is opened again by tocar.
    sequenciador.fechar();
    EXPECT_FALSE(sequenciador.getSincronizador()->IsOpen());
    sequenciador.tocar();
    EXPECT_TRUE(sequenciador.estaTocando());
    sequenciador.tocar();  // running: left alone
    sequenciador.setPausado(true);
    EXPECT_FALSE(sequenciador.estaTocando());
    sequenciador.setPausado(false);
    EXPECT_TRUE(sequenciador.estaTocando());
    sequenciador.pausar();

    sequenciador.setPosicao(256);
    sequenciador.marcarLoop();
    sequenciador.limparLoop();
    EXPECT_EQ(sequenciador.getInicioLoop(), -1);
    sequenciador.setPosicao(300);
    sequenciador.marcarLoop();
    EXPECT_EQ(sequenciador.getInicioLoop(), 300);
    EXPECT_EQ(sequenciador.getFimLoop(), -1);
    sequenciador.setPosicao(400);
    sequenciador.marcarLoop();
    EXPECT_EQ(sequenciador.getFimLoop(), 400);
    sequenciador.parar();
    EXPECT_EQ(sequenciador.getInicioLoop(), 300);  // stop keeps the marks
}

TEST_F(SequenciadorTest, PlaysEveryTickInOrderAndReportsEverySixtyFourTicksFirst)
{
    instalar({
                 {new EventoGenerico(0, 0xB0, 0, 7, 100), new EventoNoteOn(10, 0, 60, 90), new EventoNoteOff(64, 0, 60), new EventoNoteOn(65, 3, 62, 80)},
                 {new EventoNoteOn(0, 9, 36, 100), new EventoNoteOff(2, 9, 36), new EventoNoteOn(64, 9, 38, 110), new EventoNoteOff(66, 9, 38), new EventoNoteOn(128, 9, 42, 90)},
             },
             128);
    tocarAteParar(128);
    EXPECT_EQ(receptor.posicoes, (QList<int32_t>{0, 64, 128}));
    EXPECT_EQ(AmbienteMotor::desde(receptor.marca), (QList<M>{
                                                         AmbienteMotor::m(0xB0, 7, 100),
                                                         AmbienteMotor::m(0x99, 36, 100),
                                                         AmbienteMotor::m(0x99, 36, 0),
                                                         AmbienteMotor::m(0x90, 60, 90),
                                                         AmbienteMotor::m(0x90, 60, 0),
                                                         AmbienteMotor::m(0x99, 38, 110),
                                                         AmbienteMotor::m(0x93, 62, 80),
                                                         AmbienteMotor::m(0x99, 38, 0),
                                                     }));
    // The report of tick 64 comes before that tick's events; the song ends at
    // its length (a multiple of 64), so the events of tick 128 are not sent.
    EXPECT_EQ(receptor.enviadasNoRelato, (QList<int>{0, 4, 8}));
    EXPECT_EQ(kit->chamadas, (QStringList{"+36", "-36", "+38", "-38"}));
    EXPECT_EQ(sequenciador.getPosicao(), 0);
}

TEST_F(SequenciadorTest, TheLoopWrapsToTheTickAfterItsStart)
{
    instalar({{new EventoNoteOn(16, 0, 1, 1), new EventoNoteOn(17, 0, 2, 1), new EventoNoteOn(32, 0, 3, 1), new EventoNoteOn(33, 0, 4, 1)}}, 1000);
    sequenciador.setPosicao(16);
    sequenciador.marcarLoop();
    sequenciador.setPosicao(32);
    sequenciador.marcarLoop();
    sequenciador.setPosicao(10);
    const qint64 marca = AmbienteMotor::marca();
    sequenciador.setAndamento(3000);
    sequenciador.tocar();
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return AmbienteMotor::desde(marca).size() >= 7; }));
    sequenciador.pausar();
    const QList<M> enviadas = AmbienteMotor::desde(marca);
    const QList<int> notas = [&] {
        QList<int> n;
        for (const M &m : enviadas.mid(0, 7))
            n.append(m.dado1);
        return n;
    }();
    EXPECT_EQ(notas, (QList<int>{1, 2, 3, 2, 3, 2, 3}));
    for (const M &m : enviadas)
        EXPECT_NE(m.dado1, 4);  // the tick after the loop end is never reached
    EXPECT_GT(sequenciador.getPosicao(), 16);
    EXPECT_LE(sequenciador.getPosicao(), 33);
}

TEST_F(SequenciadorTest, PlayAlongShowsTheDrumsButWithholdsTheirSound)
{
    instalar({{new EventoNoteOn(1, 9, 38, 100), new EventoNoteOn(1, 3, 50, 90), new EventoGenerico(1, 0xB9, 9, 7, 10), new EventoGenerico(1, 0xE9, 0, 0, 64), new EventoNoteOff(3, 9, 38)}}, 64);
    sequenciador.setPlayAlong(true);
    tocarAteParar(64);
    EXPECT_EQ(AmbienteMotor::desde(receptor.marca), (QList<M>{AmbienteMotor::m(0x93, 50, 90), AmbienteMotor::m(0xE9, 0, 64)}));
    EXPECT_EQ(kit->chamadas, (QStringList{"+38", "-38"}));
}

TEST_F(SequenciadorTest, PlayAlongScoresTheWithheldStrokesOfTheShownTrack)
{
    // Track 0 is shown: its two drum note-ons are the strokes; the hidden track's drum,
    // the shown track's non-drum note and the note-off are not.
    instalar({{new EventoNoteOn(1, 9, 38, 100), new EventoNoteOff(3, 9, 38), new EventoNoteOn(5, 2, 60, 90),
               new EventoNoteOn(64, 9, 36, 100)},
              {new EventoNoteOn(2, 9, 42, 100)}},
             100);
    sequenciador.setTrilhaExibida(0);
    sequenciador.setPlayAlong(true);
    tocarAteParar(128);
    ASSERT_EQ(receptor.resultados.size(), 1u) << "the stop hands out the run";
    const ResultadoAvaliacao &r = receptor.resultados[0];
    EXPECT_EQ(r.esperados, 2);
    EXPECT_EQ(r.perdidos, 2);
    EXPECT_EQ(r.extras, 0);
    EXPECT_EQ(r.familias.size(), 2u);
    EXPECT_EQ(r.familias.count(37), 1u);
    EXPECT_EQ(r.familias.count(35), 1u);

    // Without Play Along nothing is scored; a late beat after the stop adds no stroke.
    receptor.resultados.clear();
    sequenciador.setPlayAlong(false);
    tocarAteParar(128);
    sequenciador.setPosicao(64);
    sequenciador.processarTick();
    EXPECT_TRUE(receptor.resultados.empty());
}

TEST_F(SequenciadorTest, EachLoopRepeatHandsOutARun)
{
    instalar({{new EventoNoteOn(20, 9, 38, 100), new EventoNoteOn(40, 9, 36, 100)}}, 1000);
    sequenciador.setPosicao(16);
    sequenciador.marcarLoop();
    sequenciador.setPosicao(32);
    sequenciador.marcarLoop();
    sequenciador.setPosicao(10);
    sequenciador.setPlayAlong(true);
    sequenciador.setAndamento(3000);
    sequenciador.tocar();
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return receptor.resultados.size() >= 3; }));
    sequenciador.pausar();
    for (const ResultadoAvaliacao &r : receptor.resultados) {
        EXPECT_EQ(r.esperados, 1);  // the snare at 20; 40 lies past the loop
        EXPECT_EQ(r.perdidos, 1);
    }
}

TEST_F(SequenciadorTest, OnlyTheShownTrackDrivesTheKitAndDisabledTracksAreSilent)
{
    instalar({
                 {new EventoNoteOn(1, 9, 35, 100)},
                 {new EventoNoteOn(1, 9, 36, 100)},
                 {new EventoNoteOn(1, 9, 38, 100)},
             },
             64);
    sequenciador.setTrilhaExibida(2);
    tocarAteParar(64);
    EXPECT_EQ(AmbienteMotor::desde(receptor.marca),
              (QList<M>{AmbienteMotor::m(0x99, 35, 100), AmbienteMotor::m(0x99, 36, 100), AmbienteMotor::m(0x99, 38, 100)}));
    EXPECT_EQ(kit->chamadas, (QStringList{"+38"}));

    kit->chamadas.clear();
    receptor.posicoes.clear();
    sequenciador.setTrilhaExibida(-1);
    ArquivoConfiguracao::instancia().setCanalAtivo(false, 1);
    tocarAteParar(64);
    EXPECT_EQ(AmbienteMotor::desde(receptor.marca), (QList<M>{AmbienteMotor::m(0x99, 35, 100), AmbienteMotor::m(0x99, 38, 100)}));
    EXPECT_EQ(kit->chamadas, (QStringList{"+35", "+38"}));
}

TEST_F(SequenciadorTest, TracksBeyondTheSixteenFlagsAlwaysPlay)
{
    std::vector<std::vector<EventoSequenciamento *>> trilhas(18);
    trilhas[17].push_back(new EventoNoteOn(1, 4, 70, 90));
    instalar(trilhas, 64);
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    configuracao.setCanalAtivo(false, 17);  // no flag there: ignored
    configuracao.setCanalAtivo(false, 16);
    configuracao.setCanalAtivo(false, -1);
    EXPECT_TRUE(configuracao.canalAtivo(17));
    EXPECT_TRUE(configuracao.canalAtivo(16));
    tocarAteParar(64);
    EXPECT_EQ(AmbienteMotor::desde(receptor.marca), (QList<M>{AmbienteMotor::m(0x94, 70, 90)}));
}

TEST_F(SequenciadorTest, ALateBeatShowsNothingAndSendsNothing)
{
    instalar({{new EventoNoteOn(0, 9, 36, 100), new EventoNoteOn(64, 9, 36, 100), new EventoNoteOn(64, 9, 38, 100),
               new EventoNoteOn(64, 0, 60, 100)}}, 1000);
    // A beat posted before a stop, handled after it: the position is back at tick 0,
    // whose drum must not light the stopped kit.
    const qint64 marca = AmbienteMotor::marca();
    sequenciador.processarTick();
    EXPECT_TRUE(kit->chamadas.isEmpty());
    EXPECT_TRUE(AmbienteMotor::desdeComTempo(marca).empty());
    EXPECT_EQ(sequenciador.getPosicao(), 0);
    EXPECT_TRUE(receptor.posicoes.isEmpty());  // no report from a stopped clock

    // After a pause mid-song, and in play-along too (which shows muted drums while playing).
    sequenciador.setPosicao(64);
    sequenciador.processarTick();
    sequenciador.setPlayAlong(true);
    sequenciador.processarTick();
    EXPECT_TRUE(kit->chamadas.isEmpty());
    EXPECT_TRUE(AmbienteMotor::desdeComTempo(marca).empty());
    EXPECT_EQ(sequenciador.getPosicao(), 64);
}

TEST_F(SequenciadorTest, TheEndOfSongReportEndsTheTick)
{
    // Without the early end, the rest of the tick would look at tick 0 and light the kit again.
    instalar({{new EventoNoteOn(0, 9, 36, 100), new EventoNoteOn(64, 9, 38, 100)}}, 64);
    sequenciador.setAndamento(1);  // no beat of its own arrives: the test runs the tick
    sequenciador.tocar();
    sequenciador.setPosicao(64);
    receptor.fim = 64;
    const qint64 marca = AmbienteMotor::marca();
    sequenciador.processarTick();
    EXPECT_EQ(receptor.posicoes, (QList<int32_t>{64}));
    EXPECT_FALSE(sequenciador.estaTocando());
    EXPECT_EQ(sequenciador.getPosicao(), 0);
    EXPECT_TRUE(kit->chamadas.isEmpty());
    EXPECT_TRUE(AmbienteMotor::desdeComTempo(marca).empty());
}

TEST_F(SequenciadorTest, WithoutASongTheHandlerDoesNothing)
{
    sequenciador.setPosicao(64);
    sequenciador.processarTick();
    EXPECT_EQ(sequenciador.getPosicao(), 64);
    EXPECT_TRUE(receptor.posicoes.isEmpty());
    sequenciador.setAndamento(3000);
    sequenciador.tocar();
    TSonoMidiSync *relogio = sequenciador.getSincronizador();
    ASSERT_TRUE(AmbienteMotor::esperar([&] {
        uint32_t batidas = 0;
        relogio->SonoMidi->GetPosition(relogio->GetHandle(), &batidas);
        return batidas >= 20;
    }));
    sequenciador.pausar();
    EXPECT_EQ(sequenciador.getPosicao(), 64);
}

TEST_F(SequenciadorTest, TempoEventsReachTheWindowAndTheClock)
{
    sequenciador.setAndamento(120);
    EventoAndamento(0, 0, 150).executar();
    EXPECT_EQ(sequenciador.getAndamento(), 150);
    EXPECT_EQ(tempoDoRelogio(), 6250u);
    EventoAndamento(0, 0, -1).executar();  // a file without a tempo
    EXPECT_EQ(sequenciador.getAndamento(), 150);
    EXPECT_EQ(receptor.andamentos, (QList<int32_t>{150, -1}));

    // Without a receiver the report is dropped.
    AcessoGui::instancia().registrar(nullptr);
    EventoAndamento(0, 0, 90).executar();
    EXPECT_EQ(sequenciador.getAndamento(), 90);
    EXPECT_EQ(receptor.andamentos.size(), 2);
}

TEST_F(SequenciadorTest, TheSpeedFactorSurvivesTempoChangesAndStopButNotANewSong)
{
    // The slider at 80 on a song at 100: 80 %, kept by every later tempo event.
    EventoAndamento(0, 0, 100).executar();
    sequenciador.escolherAndamento(80);
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 0.8);
    EXPECT_EQ(tempoDoRelogio(), 11718u);
    receptor.andamentos.clear();
    // {song's tempo, tempo in effect}: 80 % of it, kept within 40..240.
    for (const auto &[musica, efetivo] : std::vector<std::pair<int, int>>{{150, 120}, {60, 48}, {40, 40}, {400, 240}, {-1, 240}}) {
        EventoAndamento(0, 0, musica).executar();
        EXPECT_EQ(sequenciador.getAndamento(), efetivo) << musica;
        EXPECT_EQ(tempoDoRelogio(), uint32_t(937500 / efetivo)) << musica;
    }
    EXPECT_EQ(receptor.andamentos, (QList<int32_t>{120, 48, 40, 240, -1}));  // the window sees the tempo in effect
    EXPECT_EQ(sequenciador.getAndamentoMusica(), 400);
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 0.8);
    sequenciador.tocar();
    sequenciador.parar();
    sequenciador.tocar();
    sequenciador.pausar();
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 0.8);
    // At its own speed a song plays as written, outside the slider's range too.
    sequenciador.setFatorVelocidade(1.0);
    EventoAndamento(0, 0, 30).executar();
    EXPECT_EQ(sequenciador.getAndamento(), 30);
    sequenciador.escolherAndamento(60);
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 2.0);
    for (const double invalido : {0.0, -1.0})
        sequenciador.setFatorVelocidade(invalido);
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 2.0);

    // Opening a song starts it at 100 %, at 120 until its tempo event plays,
    // also when the file has no tempo at all.
    const QString caminho = AmbienteMotor::arquivo(QStringLiteral("velocidade.mid"));
    for (const bool comAndamento : {true, false}) {
        sequenciador.escolherAndamento(90);
        receptor.andamentos.clear();
        std::vector<MetaTeste> metas;
        if (comAndamento)
            metas.push_back(andamento(0, 400000));
        ASSERT_TRUE(gravarMidi(caminho, 96, {{emTicks({{0, 0x99, 36, 100}}), metas}}));
        SaidaMIDI::instancia().carregarArquivo(caminho);
        EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 1.0);
        EXPECT_EQ(sequenciador.getAndamento(), 120);
        EXPECT_EQ(receptor.andamentos, (QList<int32_t>{120}));
    }
}

TEST_F(SequenciadorTest, ASongWithATempoMapKeepsItsShapeAtHalfSpeed)
{
    // 150 BPM, then 200 from tick 64: at 50 % the window and the clock see 75, then 100.
    instalar({{new EventoAndamento(0, 0, 150), new EventoAndamento(64, 0, 200), new EventoNoteOn(100, 0, 60, 90)}}, 128);
    sequenciador.setFatorVelocidade(0.5);
    receptor.fim = 128;
    sequenciador.tocar();
    ASSERT_TRUE(AmbienteMotor::esperar([&] { return !sequenciador.estaTocando(); }));
    EXPECT_EQ(receptor.andamentos, (QList<int32_t>{75, 100}));
    EXPECT_EQ(tempoDoRelogio(), 9375u);
    EXPECT_DOUBLE_EQ(sequenciador.getFatorVelocidade(), 0.5);
}

}  // namespace
