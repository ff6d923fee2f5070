#include "engine/AmbienteMotor.h"

#include "engine/EventoAndamento.h"
#include "song/EventoGenerico.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

using M = AmbienteMotor::Mensagem;

// Counts how many events are alive, so a test can see a whole song go.
class EventoContado : public EventoSequenciamento {
public:
    EventoContado(int32_t tick, int &vivos) : EventoSequenciamento(tick, 0), vivos(vivos) { ++vivos; }
    ~EventoContado() override { --vivos; }

private:
    int &vivos;
};

std::unique_ptr<Trilha> trilhaNoCanal(int canal, int tick = 0)
{
    auto trilha = std::make_unique<Trilha>();
    if (canal >= 0) {
        trilha->setCanal(canal);
        trilha->adicionarEvento(std::make_unique<EventoNoteOn>(tick, canal, 36, 100));
    }
    return trilha;
}

TEST(TrilhaTest, EventsOfATickComeInInsertionOrderWhateverLiesBetween)
{
    Trilha trilha;
    EXPECT_TRUE(trilha.eventosNoTick(0).empty());  // no events at all
    EXPECT_EQ(trilha.getCanal(), -1);
    EXPECT_FALSE(trilha.temBateria());

    auto *primeiro = new EventoNoteOn(100, 0, 36, 90);
    auto *outroTick = new EventoNoteOn(50, 0, 38, 90);
    auto *segundo = new EventoNoteOff(100, 0, 40);
    auto *depois = new EventoNoteOff(7, 0, 40);  // unsorted list: a later tick added earlier is fine
    trilha.adicionarEvento(std::unique_ptr<EventoSequenciamento>(primeiro));
    trilha.adicionarEvento(std::unique_ptr<EventoSequenciamento>(outroTick));
    trilha.adicionarEvento(std::unique_ptr<EventoSequenciamento>(segundo));
    trilha.adicionarEvento(std::unique_ptr<EventoSequenciamento>(depois));

    EXPECT_EQ(trilha.eventosNoTick(100), (std::vector<EventoSequenciamento *>{primeiro, segundo}));
    EXPECT_EQ(trilha.eventosNoTick(50), (std::vector<EventoSequenciamento *>{outroTick}));
    EXPECT_EQ(trilha.eventosNoTick(7), (std::vector<EventoSequenciamento *>{depois}));
    EXPECT_TRUE(trilha.eventosNoTick(99).empty());
    // The answer is a copy: a later call does not change an earlier result.
    const auto guardada = trilha.eventosNoTick(100);
    trilha.eventosNoTick(50);
    EXPECT_EQ(guardada.size(), 2u);

    trilha.marcarBateria();
    EXPECT_TRUE(trilha.temBateria());
}

// The cursor must answer exactly what a whole-track scan answers, whatever the
// order of adding and whatever the order of the questions (play on, seek back,
// jump ahead, wrap a loop, add events between questions).
TEST(TrilhaTest, CursorAnswersLikeAScanForAnyOrderOfTicksAndQuestions)
{
    std::mt19937 aleatorio(14);
    for (int rodada = 0; rodada < 60; ++rodada) {
        Trilha trilha;
        std::vector<std::pair<int32_t, EventoSequenciamento *>> todos;
        const bool ordenada = rodada % 2 == 0;
        auto adicionar = [&](int quantos) {
            int32_t tick = todos.empty() ? 0 : todos.back().first;
            for (int i = 0; i < quantos; ++i) {
                tick = ordenada ? tick + int32_t(aleatorio() % 3) : int32_t(aleatorio() % 200);
                auto *evento = new EventoNoteOn(tick, 0, 36, 90);
                todos.emplace_back(tick, evento);
                trilha.adicionarEvento(std::unique_ptr<EventoSequenciamento>(evento));
            }
        };
        adicionar(int(aleatorio() % 300));
        auto conferir = [&](int32_t tick) {
            std::vector<EventoSequenciamento *> esperado;
            for (const auto &[t, e] : todos) {
                if (t == tick)
                    esperado.push_back(e);
            }
            ASSERT_EQ(trilha.eventosNoTick(tick), esperado) << "round " << rodada << " tick " << tick;
        };
        int32_t tick = 0;
        for (int pergunta = 0; pergunta < 600; ++pergunta) {
            switch (aleatorio() % 10) {
            case 0: tick = int32_t(aleatorio() % 260) - 5; break;  // seek anywhere, also before 0 and past the end
            case 1: tick += int32_t(aleatorio() % 100); break;     // jump ahead
            case 2: if (pergunta % 50 == 0) adicionar(5); break;   // the track grows
            default: ++tick; break;                                // play on
            }
            conferir(tick);
        }
        conferir(INT32_MAX);
        conferir(INT32_MIN);
    }
}

TEST(EventoTest, TransposeMovesNotesExceptOnTheDrumChannel)
{
    EventoNoteOn ligada(0, 0, 36, 100);
    ligada.transpor(12);
    EXPECT_EQ(ligada.getNota(), 48);
    EventoNoteOn bateria(0, 9, 36, 100);
    bateria.transpor(12);
    EXPECT_EQ(bateria.getNota(), 36);
    EventoNoteOff solta(0, 3, 60);
    solta.transpor(-2);
    EXPECT_EQ(solta.getNota(), 58);
    EventoNoteOff soltaBateria(0, 9, 38);
    soltaBateria.transpor(5);
    EXPECT_EQ(soltaBateria.getNota(), 38);
    EventoGenerico generico(4, 0xB2, 2, 7, 100);
    generico.transpor(12);
    EXPECT_EQ(generico.getDado1(), 7);
    EXPECT_EQ(generico.getStatus(), 0xB2);
    EXPECT_EQ(generico.getCanal(), 2);
    EXPECT_EQ(generico.getTick(), 4);
    EventoAndamento tempo(0, 0, 150);
    tempo.transpor(12);
    EXPECT_EQ(tempo.getAndamento(), 150);
}

class ExecucaoTest : public ::testing::Test {
protected:
    void SetUp() override { AmbienteMotor::preparar(); }
};

TEST_F(ExecucaoTest, EventsSendTheirMessages)
{
    const qint64 marca = AmbienteMotor::marca();
    EventoNoteOff(0, 9, 38).executar();
    EventoNoteOn(0, 9, 36, 127).executar();
    EventoNoteOn(0, 2, 60, 64).executar();
    EventoGenerico(0, 0xB2, 2, 7, 100).executar();  // the status is sent as stored, channel not added again
    EventoGenerico(0, 0xE9, 0, 0, 64).executar();
    EventoSequenciamento(0, 0).executar();         // the base sends nothing
    EXPECT_EQ(AmbienteMotor::desde(marca), (QList<M>{
                                               AmbienteMotor::m(0x99, 38, 0),
                                               AmbienteMotor::m(0x99, 36, 127),
                                               AmbienteMotor::m(0x92, 60, 64),
                                               AmbienteMotor::m(0xB2, 7, 100),
                                               AmbienteMotor::m(0xE9, 0, 64),
                                           }));
}

TEST(MusicaTest, TrackIndexesAreCheckedAgainstTheCount)
{
    Musica musica;
    for (int i = 0; i < 5; ++i)
        musica.adicionarTrilha(trilhaNoCanal(i, 10));
    EXPECT_EQ(musica.getNumTrilhas(), 5);
    EXPECT_EQ(musica.getTrilha(4)->getCanal(), 4);
    EXPECT_EQ(musica.eventosNoTick(10, 3).size(), 1u);
    for (const int fora : {5, 6, -1}) {
        try {
            musica.getTrilha(fora);
            ADD_FAILURE() << fora;
        } catch (const std::out_of_range &erro) {
            EXPECT_STREQ(erro.what(), "vector");
        }
        EXPECT_THROW(musica.eventosNoTick(10, fora), std::out_of_range);
    }
}

TEST(GerenciadorMusicaTest, ANewSongDeletesTheOldOneWithEveryEvent)
{
    int vivos = 0;
    auto antiga = std::make_unique<Musica>();
    for (int t = 0; t < 3; ++t) {
        auto trilha = std::make_unique<Trilha>();
        for (int e = 0; e < 4; ++e)
            trilha->adicionarEvento(std::make_unique<EventoContado>(e, vivos));
        antiga->adicionarTrilha(std::move(trilha));
    }
    ASSERT_EQ(vivos, 12);
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
    gerenciador.setMusica(std::move(antiga));
    auto nova = std::make_unique<Musica>();
    Musica *enderecoNova = nova.get();
    gerenciador.setMusica(std::move(nova));
    EXPECT_EQ(vivos, 0);
    EXPECT_EQ(gerenciador.getMusica(), enderecoNova);
    gerenciador.setMusica(nullptr);
    EXPECT_EQ(gerenciador.getMusica(), nullptr);
}

class SilenciarTest : public ::testing::Test {
protected:
    void SetUp() override { AmbienteMotor::preparar(); }
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
};

TEST_F(SilenciarTest, ASingleTrackSongSilencesTheWholeDevice)
{
    auto musica = std::make_unique<Musica>();
    musica->adicionarTrilha(trilhaNoCanal(9));
    gerenciador.setMusica(std::move(musica));
    const qint64 marca = AmbienteMotor::marca();
    gerenciador.silenciarTrilha(0);
    const QList<M> enviadas = AmbienteMotor::desde(marca);
    QList<M> controladores;
    for (int c = 0; c < 16; ++c)
        controladores.append(AmbienteMotor::m(0xB0 + c, 121, 0));
    ASSERT_GE(enviadas.size(), 16);
    EXPECT_EQ(enviadas.mid(enviadas.size() - 16), controladores);  // after the device reset
    EXPECT_TRUE(enviadas.contains(AmbienteMotor::m(0xB9, 123, 0)));
    for (const M &m : enviadas)
        EXPECT_NE(m.status & 0xF0, 0x90);  // no note-off
}

TEST_F(SilenciarTest, ATrackOfASeveralTrackSongReleasesEveryNoteOfItsChannel)
{
    auto musica = std::make_unique<Musica>();
    musica->adicionarTrilha(trilhaNoCanal(0));
    musica->adicionarTrilha(trilhaNoCanal(2));
    musica->adicionarTrilha(trilhaNoCanal(-1));  // a tempo or name track: no note-on, no channel
    musica->adicionarTrilha(trilhaNoCanal(9));
    gerenciador.setMusica(std::move(musica));

    qint64 marca = AmbienteMotor::marca();
    gerenciador.silenciarTrilha(3);
    QList<M> esperadas;
    for (int nota = 0; nota < 128; ++nota)
        esperadas.append(AmbienteMotor::m(0x99, nota, 0));
    EXPECT_EQ(AmbienteMotor::desde(marca), esperadas);

    marca = AmbienteMotor::marca();
    gerenciador.silenciarTrilha(2);
    EXPECT_TRUE(AmbienteMotor::desde(marca).isEmpty());
}

TEST_F(SilenciarTest, WithoutASongNothingIsSent)
{
    const qint64 marca = AmbienteMotor::marca();
    gerenciador.silenciarTrilha(0);
    gerenciador.silenciarTrilha(7);
    EXPECT_TRUE(AmbienteMotor::desdeComTempo(marca).empty());
}

}  // namespace
