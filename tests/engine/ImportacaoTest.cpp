#include "AmbienteMotor.h"

#include "engine/EventoAndamento.h"
#include "engine/SaidaMIDI.h"
#include "song/EventoGenerico.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <typeinfo>

#include <sys/stat.h>

namespace {

// One event of the imported song, as text: "tick kind channel a b" with the
// kind On, Off, Gen(status) or Tempo.
QString descrever(const EventoSequenciamento *e)
{
    if (auto *on = dynamic_cast<const EventoNoteOn *>(e))
        return QStringLiteral("%1 On %2 %3 %4").arg(e->getTick()).arg(e->getCanal()).arg(on->getNota()).arg(on->getVelocidade());
    if (auto *off = dynamic_cast<const EventoNoteOff *>(e))
        return QStringLiteral("%1 Off %2 %3").arg(e->getTick()).arg(e->getCanal()).arg(off->getNota());
    if (auto *gen = dynamic_cast<const EventoGenerico *>(e))
        return QStringLiteral("%1 Gen%2 %3 %4 %5").arg(e->getTick()).arg(gen->getStatus(), 0, 16).arg(e->getCanal()).arg(gen->getDado1()).arg(gen->getDado2());
    if (auto *tempo = dynamic_cast<const EventoAndamento *>(e))
        return QStringLiteral("%1 Tempo %2").arg(e->getTick()).arg(tempo->getAndamento());
    return QStringLiteral("?");
}

// Every event of a track in insertion order (the ticks come from the song's own scan).
QStringList eventos(int trilha)
{
    Musica *musica = GerenciadorMusica::instancia().getMusica();
    QStringList lista;
    if (!musica)
        return lista;
    for (int tick = 0; tick <= GerenciadorMusica::instancia().getTotalTicks() + 4; ++tick) {
        for (EventoSequenciamento *e : musica->eventosNoTick(tick, trilha))
            lista.append(descrever(e));
    }
    return lista;
}

class ImportacaoTest : public ::testing::Test {
protected:
    void SetUp() override { AmbienteMotor::preparar(); }

    // Writes the tracks and loads them; the file stays open, as after the window's load.
    void carregar(uint16_t resolucao, const std::vector<TrilhaTeste> &trilhas)
    {
        const QString caminho = AmbienteMotor::arquivo(QStringLiteral("importar.mid"));
        ASSERT_TRUE(gravarMidi(caminho, resolucao, trilhas));
        saida.carregarArquivo(caminho);
    }

    std::string mensagemDe(const std::function<void()> &operacao)
    {
        try {
            operacao();
        } catch (const ESonoMidiException &erro) {
            return erro.Message().toStdString();
        }
        return "no error";
    }

    SaidaMIDI &saida = SaidaMIDI::instancia();
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
};

TEST_F(ImportacaoTest, FileTicksRoundToTheNearestEngineTick)
{
    const std::vector<std::pair<uint16_t, std::vector<std::pair<uint32_t, int>>>> casos{
        {96, {{1, 1}, {3, 2}, {48, 32}, {96, 64}}},
        {480, {{3, 0}, {4, 1}, {240, 32}, {480, 64}}},
        {384, {{3, 1}, {9, 2}}},  // exact halves round up: 0.5 -> 1, 1.5 -> 2
    };
    for (const auto &[resolucao, pares] : casos) {
        std::vector<std::tuple<uint32_t, uint8_t, uint8_t, uint8_t>> absolutos;
        QStringList esperados;
        for (const auto &[arquivo, motor] : pares) {
            absolutos.emplace_back(arquivo, 0xB0, 7, 100);
            esperados.append(QStringLiteral("%1 Genb0 0 7 100").arg(motor));
        }
        carregar(resolucao, {{emTicks(absolutos), {}}});
        EXPECT_EQ(eventos(0), esperados) << resolucao;
    }
}

TEST_F(ImportacaoTest, DrumHitsLastTwoTicksAndAreReleasedBeforeARestroke)
{
    // Resolution 64: file ticks are engine ticks.
    carregar(64, {{emTicks({
                       {64, 0x99, 42, 100},
                       {100, 0x99, 38, 90},
                       {101, 0x89, 38, 0},   // released after one tick: moved to 102
                       {128, 0x99, 42, 100}, // struck again while sounding: released at 126 first
                       {200, 0x99, 59, 80},
                       {200, 0x99, 59, 0},   // velocity 0 is a release; 59 follows the rules like 35
                       {300, 0x99, 20, 70},
                       {300, 0x89, 20, 0},   // below 35: a drum note, outside the two-tick rules
                       {400, 0x99, 60, 70},  // 60 and above: not a kit note
                       {400, 0x99, 36, 0},   // release without a stroke: two ticks after tick 0 is long past
                   }),
                   {}}});
    EXPECT_EQ(eventos(0), (QStringList{
                              "64 On 9 42 100",
                              "100 On 9 38 90",
                              "102 Off 9 38",
                              "126 Off 9 42",
                              "128 On 9 42 100",
                              "200 On 9 59 80",
                              "202 Off 9 59",
                              "300 On 9 20 70",
                              "300 Off 9 20",
                              "400 Gen99 9 60 70",
                              "400 Off 9 36",
                          }));
    Trilha *trilha = gerenciador.getMusica()->getTrilha(0);
    EXPECT_TRUE(trilha->temBateria());
    EXPECT_EQ(trilha->getCanal(), 9);
    // The inserted release sits just before the new stroke in the track.
    const auto em126 = gerenciador.getMusica()->eventosNoTick(126, 0);
    ASSERT_EQ(em126.size(), 1u);
    EXPECT_EQ(descrever(em126[0]), "126 Off 9 42");
}

TEST_F(ImportacaoTest, AReleaseBeforeAQuickRestrokeIsNeverEarlierThanItsStroke)
{
    carregar(64, {{emTicks({{64, 0x99, 42, 100}, {65, 0x99, 42, 100}}), {}}});
    EXPECT_EQ(eventos(0), (QStringList{"64 On 9 42 100", "64 Off 9 42", "65 On 9 42 100"}));
}

TEST_F(ImportacaoTest, ChannelsKindsAndDrumFlagsFollowTheFirstNoteOn)
{
    carregar(64, {
                     {emTicks({{0, 0xC0, 5, 0}}), {andamento(0, 500000)}},
                     {emTicks({{0, 0xB9, 7, 90}, {1, 0xE9, 0, 64}, {2, 0x92, 60, 0}, {3, 0x92, 60, 100}, {4, 0x99, 36, 100}, {5, 0xA9, 36, 10}}), {andamento(6, 500000)}},
                     {emTicks({{0, 0x99, 60, 100}}), {}},
                     {{}, {}},
                 });
    Musica *musica = gerenciador.getMusica();
    ASSERT_EQ(musica->getNumTrilhas(), 4);
    EXPECT_EQ(eventos(0), (QStringList{"0 Tempo 120", "0 Genc0 0 5 0"}));
    ASSERT_EQ(eventos(1).size(), 7);
    EXPECT_EQ(eventos(1).mid(0, 6), (QStringList{
                              "0 Genb9 9 7 90",  // a controller of channel 10 keeps channel 9: play-along mutes it
                              "1 Gene9 0 0 64",  // a pitch bend is "other": channel 0, never muted
                              "2 Gen92 2 60 0",
                              "3 Gen92 2 60 100",
                              "4 On 9 36 100",
                              "5 Gena9 0 36 10",
                          }));
    // A tempo record outside the first track is just a message of status 0, channel 0.
    const auto em6 = gerenciador.getMusica()->eventosNoTick(6, 1);
    ASSERT_EQ(em6.size(), 1u);
    EXPECT_TRUE(descrever(em6[0]).startsWith("6 Gen0 0 ")) << descrever(em6[0]).toStdString();
    EXPECT_EQ(musica->getTrilha(1)->getCanal(), 2);  // the first note-on, even if not a drum
    EXPECT_TRUE(musica->getTrilha(1)->temBateria());
    EXPECT_EQ(musica->getTrilha(2)->getCanal(), 9);
    EXPECT_FALSE(musica->getTrilha(2)->temBateria());  // note 60 is not a kit note
    EXPECT_EQ(musica->getTrilha(0)->getCanal(), -1);   // no note-on: no channel
    EXPECT_EQ(musica->getTrilha(3)->getNumEventos(), 0);
}

TEST_F(ImportacaoTest, SongLengthInTicksAndBeats)
{
    const std::vector<std::tuple<std::vector<std::tuple<uint32_t, uint8_t, uint8_t, uint8_t>>, int, int>> casos{
        {{{1000, 0xB0, 7, 1}}, 1000, 16},
        {{{1024, 0xB0, 7, 1}}, 1024, 17},
        {{}, 0, 1},
        // A release moved from 1001 to 1002 as the last event leaves the length at 1001.
        {{{1000, 0x99, 38, 100}, {1001, 0x99, 38, 0}}, 1001, 16},
    };
    for (const auto &[registros, ticks, tempos] : casos) {
        carregar(64, {{emTicks(registros), {}}});
        EXPECT_EQ(gerenciador.getTotalTicks(), ticks);
        EXPECT_EQ(gerenciador.getTotalTempos(), tempos);
    }
    // A file with tracks but no events at all: an empty song.
    carregar(96, {{{}, {}}, {{}, {}}});
    EXPECT_EQ(gerenciador.getMusica()->getNumTrilhas(), 2);
    EXPECT_EQ(gerenciador.getTotalTicks(), 0);
    EXPECT_EQ(gerenciador.getTotalTempos(), 1);
}

TEST_F(ImportacaoTest, TempoEventsCarryEachSetTempoInTurn)
{
    carregar(64, {{{}, {andamento(0, 500000), andamento(640, 400000), andamento(1280, 600000)}}, {emTicks({{1300, 0x99, 36, 100}}), {}}});
    EXPECT_EQ(eventos(0), (QStringList{"0 Tempo 120", "640 Tempo 150", "1280 Tempo 100"}));
    // A zero tempo must not be divided by: it counts as no tempo.
    carregar(64, {{{}, {andamento(0, 0)}}});
    EXPECT_EQ(eventos(0), (QStringList{"0 Tempo -1"}));
    carregar(64, {{emTicks({{0, 0x90, 60, 100}}), {}}});
    EXPECT_EQ(saida.lerAndamento(), -1);
}

TEST_F(ImportacaoTest, TrackNamesAreCutAtNinetyNineBytes)
{
    const QByteArray longo = QByteArray(120, 'x');
    carregar(96, {{{}, {nome("Bateria")}}, {{}, {nome(longo)}}, {{}, {}}, {{}, {nome("Portugu\xEAs")}}});
    EXPECT_EQ(saida.getNumTrilhasArquivo(), 4);
    EXPECT_EQ(saida.nomeTrilha(0), QStringLiteral("Bateria"));
    EXPECT_EQ(saida.nomeTrilha(1), QString(99, QLatin1Char('x')));
    EXPECT_EQ(saida.nomeTrilha(2), QString());
    EXPECT_EQ(saida.nomeTrilha(3), QStringLiteral("Português"));  // single-byte code page
    EXPECT_EQ(saida.nomeTrilha(4), QString());
    EXPECT_EQ(saida.nomeTrilha(-1), QString());
    saida.fecharArquivo();
    EXPECT_EQ(saida.getNumTrilhasArquivo(), 0);
    EXPECT_EQ(saida.nomeTrilha(0), QString());
    saida.fecharArquivo();  // closing twice is harmless
}

// A hand-made file, for what the writer cannot produce: meta events of odd lengths.
QByteArray arquivoBruto(const QByteArray &trilha)
{
    QByteArray bytes("MThd", 4);
    bytes += QByteArray::fromHex("00000006" "0000" "0001" "0040");
    bytes += QByteArray("MTrk", 4);
    const quint32 n = static_cast<quint32>(trilha.size());
    bytes += char(n >> 24);
    bytes += char(n >> 16);
    bytes += char(n >> 8);
    bytes += char(n);
    return bytes + trilha;
}

TEST_F(ImportacaoTest, MetaEventsAreReadOnlyWithinTheirLength)
{
    const QString caminho = AmbienteMotor::arquivo(QStringLiteral("bruto.mid"));
    QFile arquivo(caminho);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    // A two-byte Set Tempo, a name with a zero byte at position 10 and a name of 5 bytes.
    arquivo.write(arquivoBruto(QByteArray::fromHex("00FF51020700"
                                                   "00FF030F" "4261746572696120756D" "00" "7A7A7A7A"
                                                   "0099247F"
                                                   "00FF2F00")));
    arquivo.close();
    saida.carregarArquivo(caminho);
    const QStringList lidos = eventos(0);
    ASSERT_FALSE(lidos.isEmpty());
    EXPECT_EQ(lidos.first(), "0 Tempo -1");
    EXPECT_EQ(saida.nomeTrilha(0), QStringLiteral("Bateria um"));

    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    arquivo.write(arquivoBruto(QByteArray::fromHex("00FF0305" "4F6C6C6F73" "00FF0103" "585858" "00FF2F00")));
    arquivo.close();
    saida.carregarArquivo(caminho);
    EXPECT_EQ(saida.nomeTrilha(0), QStringLiteral("Ollos"));
}

TEST_F(ImportacaoTest, AFileThatCannotBeOpenedLeavesThePreviousSongCurrent)
{
    carregar(96, {{emTicks({{96, 0x99, 36, 100}}), {nome("Anterior")}}});
    Musica *anterior = gerenciador.getMusica();
    ASSERT_NE(anterior, nullptr);

    const QString texto = AmbienteMotor::arquivo(QStringLiteral("texto.mid"));
    QFile arquivo(texto);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("not a MIDI file at all\n");
    arquivo.close();
    // A FIFO (no writer: a blocking open would wait for ever), a folder, and a
    // file above the size limit (sparse: its header is all it holds).
    const QString fifo = AmbienteMotor::arquivo(QStringLiteral("fifo.mid"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString pasta = AmbienteMotor::arquivo(QStringLiteral("pasta.mid"));
    ASSERT_TRUE(QDir().mkpath(pasta));
    const QString enorme = AmbienteMotor::arquivo(QStringLiteral("enorme.mid"));
    QFile grande(enorme);
    ASSERT_TRUE(grande.open(QIODevice::WriteOnly));
    grande.write(QByteArray("MThd\0\0\0\6\0\1\0\1\0\140", 14));
    ASSERT_TRUE(grande.resize(SaidaMIDI::tamanhoMaximoArquivo + 1));
    grande.close();
    for (const QString &nome : {texto, AmbienteMotor::arquivo(QStringLiteral("ausente.mid")), QString(), fifo, pasta, enorme}) {
        EXPECT_EQ(mensagemDe([&] { saida.carregarArquivo(nome); }), "SMF not open") << nome.toStdString();
        EXPECT_EQ(gerenciador.getMusica(), anterior);
        EXPECT_EQ(gerenciador.getTotalTicks(), 64);
        EXPECT_EQ(saida.getNumTrilhasArquivo(), 0);
        EXPECT_EQ(saida.nomeTrilha(0), QString());
    }
    // A reading told to stop stops, and the song before stays current.
    const QString boa = AmbienteMotor::arquivo(QStringLiteral("boa.mid"));
    ASSERT_TRUE(gravarMidi(boa, 96, {{emTicks({{48, 0x99, 38, 100}}), {}}}));
    SaidaMIDI::ProgressoLeitura progresso;
    progresso.cancelar = true;
    saida.prepararCarga();
    EXPECT_EQ(mensagemDe([&] { saida.lerMusica(boa, &progresso); }), "SMF cancelled");
    EXPECT_EQ(gerenciador.getMusica(), anterior);
    // The stop reaches the library's read of the score, not only the conversion after it.
    const QString longa = AmbienteMotor::arquivo(QStringLiteral("longa.mid"));
    std::vector<std::tuple<uint32_t, uint8_t, uint8_t, uint8_t>> muitos;
    for (uint32_t i = 0; i < 20000; ++i)
        muitos.emplace_back(i, 0x99, 38, 100);
    ASSERT_TRUE(gravarMidi(longa, 96, {{emTicks(muitos), {}}}));
    SaidaMIDI::ProgressoLeitura parado;
    parado.cancelar = true;
    EXPECT_EQ(mensagemDe([&] { saida.lerMusica(longa, &parado); }), "SMF cancelled");
    EXPECT_EQ(parado.lidos.load(), 0);
    EXPECT_EQ(saida.getNumTrilhasArquivo(), 0);
    EXPECT_EQ(gerenciador.getMusica(), anterior);
    // Read to the end, it reports all of it read and done.
    SaidaMIDI::ProgressoLeitura inteiro;
    SaidaMIDI::MusicaLida lida = saida.lerMusica(longa, &inteiro);
    EXPECT_EQ(inteiro.lidos.load(), 20000);
    EXPECT_EQ(inteiro.milesimos.load(), 1000);
    lida = saida.lerMusica(boa, &inteiro);
    EXPECT_EQ(inteiro.milesimos.load(), 1000);
    EXPECT_EQ(gerenciador.getMusica(), anterior);
    ASSERT_NE(lida.musica, nullptr);
    saida.instalarMusica(std::move(lida));
    EXPECT_NE(gerenciador.getMusica(), anterior);

    // The reader is still usable.
    carregar(96, {{emTicks({{48, 0x99, 38, 100}}), {}}});
    EXPECT_EQ(eventos(0), (QStringList{"32 On 9 38 100"}));
}

TEST_F(ImportacaoTest, RunningTimeIsSummedInSixtyFourBits)
{
    // Nine deltas of 2^28 - 1 pass 2^31 file ticks; at 480 per quarter the ticks still fit.
    std::vector<RegistroTeste> registros(9, RegistroTeste{0x0FFFFFFF, 0xB0, 7, 100});
    carregar(480, {{registros, {}}});
    const int64_t arquivoTicks = int64_t(9) * 0x0FFFFFFF;
    const int esperado = static_cast<int>(double(arquivoTicks) / 480 * 64 + 0.5);
    EXPECT_EQ(gerenciador.getTotalTicks(), esperado);
    EXPECT_EQ(gerenciador.getMusica()->eventosNoTick(esperado, 0).size(), 1u);
}

TEST_F(ImportacaoTest, TicksBeyondTheEnginesRangeRefuseTheFile)
{
    carregar(96, {{emTicks({{96, 0x99, 36, 100}}), {}}});
    Musica *anterior = gerenciador.getMusica();

    const QString caminho = AmbienteMotor::arquivo(QStringLiteral("longo.mid"));
    // 13 x (2^28 - 1) file ticks at 96 per quarter: about 2.3e9 engine ticks.
    ASSERT_TRUE(gravarMidi(caminho, 96, {{std::vector<RegistroTeste>(13, RegistroTeste{0x0FFFFFFF, 0xB0, 7, 100}), {}}}));
    EXPECT_EQ(mensagemDe([&] { saida.carregarArquivo(caminho); }), "SMF cant read");
    EXPECT_EQ(gerenciador.getMusica(), anterior);
    EXPECT_EQ(saida.getNumTrilhasArquivo(), 0);  // the file was closed

    // A stroke at 2^31 - 2 whose release is moved two ticks later would leave the range too.
    std::vector<RegistroTeste> limite(8, RegistroTeste{0x0FFFFFFF, 0xB0, 7, 100});
    limite.push_back({6, 0x99, 38, 100});
    limite.push_back({0, 0x99, 38, 0});
    ASSERT_TRUE(gravarMidi(caminho, 64, {{limite, {}}}));
    EXPECT_EQ(mensagemDe([&] { saida.carregarArquivo(caminho); }), "SMF cant read");
    EXPECT_EQ(gerenciador.getMusica(), anterior);
    // Without the release the last tick is exactly 2^31 - 2 and loads.
    limite.pop_back();
    ASSERT_TRUE(gravarMidi(caminho, 64, {{limite, {}}}));
    saida.carregarArquivo(caminho);
    EXPECT_EQ(gerenciador.getTotalTicks(), 2147483646);
}

TEST_F(ImportacaoTest, WithoutAnOpenDeviceTheSongIsInstalledThenTheErrorComes)
{
    const QString caminho = AmbienteMotor::arquivo(QStringLiteral("sem-porta.mid"));
    ASSERT_TRUE(gravarMidi(caminho, 96, {{emTicks({{96, 0x99, 36, 100}}), {}}}));
    saida.carregarArquivo(caminho);  // musicaCarregada from here on
    saida.abrirDispositivo(-1);
    Musica *anterior = gerenciador.getMusica();
    // A later load stops at the closed port before touching anything.
    EXPECT_EQ(mensagemDe([&] { saida.carregarArquivo(caminho); }), "midiOut not open");
    EXPECT_EQ(gerenciador.getMusica(), anterior);
    saida.abrirDispositivo(AmbienteMotor::dispositivoCaptura());
    saida.carregarArquivo(caminho);
    EXPECT_NE(gerenciador.getMusica(), anterior);
}

}  // namespace
