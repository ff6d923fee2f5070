#include "AmbienteMotor.h"

#include "engine/SaidaMIDI.h"
#include "platform/CapacidadesDispositivo.h"

#include "common/CapturaMidi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include <cstring>

namespace {

using M = AmbienteMotor::Mensagem;

class SaidaMIDITest : public ::testing::Test {
protected:
    void SetUp() override { AmbienteMotor::preparar(); }
    void TearDown() override { CapacidadesDispositivo::definirConsulta(nullptr); }
    SaidaMIDI &saida = SaidaMIDI::instancia();
};

QList<M> volumes(int valor)
{
    QList<M> esperadas;
    for (int c = 0; c < 16; ++c)
        esperadas.append(AmbienteMotor::m(0xB0 + c, 7, valor));
    return esperadas;
}

TEST_F(SaidaMIDITest, VolumeGeralScalesEveryChannelAndClampsThePercentage)
{
    for (const auto &[percentual, valor] : std::vector<std::pair<int, int>>{{50, 63}, {10, 12}, {75, 95}, {1, 1}, {0, 0}, {100, 127}}) {
        const qint64 marca = AmbienteMotor::marca();
        saida.setVolumeGeral(percentual);
        EXPECT_EQ(AmbienteMotor::desde(marca), volumes(valor)) << percentual << " %";
    }
    // The stored default of 127 % must still send a valid data byte, and stays stored.
    for (const int fora : {127, 255, -5}) {
        const qint64 marca = AmbienteMotor::marca();
        saida.setVolumeGeral(fora);
        EXPECT_EQ(AmbienteMotor::desde(marca), volumes(fora < 0 ? 0 : 127)) << fora << " %";
        EXPECT_EQ(saida.getVolumeGeral(), fora);
    }
}

TEST_F(SaidaMIDITest, ASongsChannelVolumesPlayUnderTheMasterVolume)
{
    using A = AmbienteMotor;
    // The slider at the bottom keeps a song's own channel volume silent.
    saida.setVolumeGeral(0);
    qint64 marca = A::marca();
    saida.enviarMensagem(0xB2, 7, 100);
    EXPECT_EQ(A::desde(marca), (QList<M>{A::m(0xB2, 7, 0)}));
    EXPECT_EQ(saida.getVolumeCanal(2), 100);

    // Moving the slider sends each stored channel volume under it, rounded down.
    marca = A::marca();
    saida.setVolumeGeral(50);
    QList<M> esperadas = volumes(63);
    esperadas[2] = A::m(0xB2, 7, 50);
    EXPECT_EQ(A::desde(marca), esperadas);

    // A later song volume is scaled by the current master; other controllers and
    // messages whose first data byte happens to be 7 pass as they are.
    marca = A::marca();
    saida.enviarMensagem(0xBF, 7, 99);
    saida.enviarMensagem(0xB5, 10, 99);
    saida.enviarMensagem(0xC5, 7, 0);
    saida.enviarMensagem(0x95, 7, 99);
    EXPECT_EQ(A::desde(marca), (QList<M>{A::m(0xBF, 7, 49), A::m(0xB5, 10, 99), A::m(0xC5, 7, 0), A::m(0x95, 7, 99)}));

    // Resetting the controllers forgets the song's volumes.
    saida.reiniciarControladores();
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(saida.getVolumeCanal(c), 127) << c;
    marca = A::marca();
    saida.aplicarVolumes();
    EXPECT_EQ(A::desde(marca), volumes(63));

    // So does opening a song, which starts every channel at full volume under the master.
    saida.enviarMensagem(0xB3, 7, 20);
    const QString musica = A::arquivo(QStringLiteral("volumes.mid"));
    ASSERT_TRUE(gravarMidi(musica, 64, {{emTicks({{0, 0xB3, 7, 90}, {0, 0x93, 60, 100}, {8, 0x93, 60, 0}}), {}}}));
    marca = A::marca();
    saida.carregarArquivo(musica);
    const QList<M> aoAbrir = A::desde(marca);
    ASSERT_GE(aoAbrir.size(), 16);
    EXPECT_EQ(aoAbrir.mid(aoAbrir.size() - 16), volumes(63));
    EXPECT_EQ(saida.getVolumeCanal(3), 127);
}

TEST_F(SaidaMIDITest, ShortMessagesSendTheirBytes)
{
    const qint64 marca = AmbienteMotor::marca();
    saida.setPrograma(2, 5);
    saida.setPrograma(3, 128);  // no change: nothing sent
    saida.notaLigada(9, 127, 38);
    saida.notaDesligada(9, 38);
    saida.restaurarKitPadrao();
    saida.enviarMensagem(0xE3, 0x100 + 5, 64);  // only the low 8 bits of each value
    EXPECT_EQ(AmbienteMotor::desde(marca), (QList<M>{
                                               AmbienteMotor::m(0xB2, 0, 0),
                                               AmbienteMotor::m(0xC2, 5, 0),
                                               AmbienteMotor::m(0x99, 38, 127),
                                               AmbienteMotor::m(0x99, 38, 0),
                                               AmbienteMotor::m(0xC9, 0, 0),
                                               AmbienteMotor::m(0xE3, 5, 64),
                                           }));
}

TEST_F(SaidaMIDITest, ANoteForAGivenTimeSoundsAsTheNotesOfABeatDueThen)
{
    // Calibration clicks go out like a song's strokes: at their time plus the output's
    // latency, while a plain note-on put afterwards goes out at once.
    timespec agora{};
    clock_gettime(CLOCK_MONOTONIC, &agora);
    const qint64 devido = qint64(agora.tv_sec) * 1000000 + agora.tv_nsec / 1000 + 300000;
    const qint64 marca = AmbienteMotor::marca();
    const qint64 soa = SaidaMIDI::instancia().notaLigadaEm(devido, 9, 100, 76);
    SaidaMIDI::instancia().notaLigada(9, 100, 77);
    // A note whose time has long passed goes out at once, and says so.
    const qint64 antes = devido - 10000000;
    const qint64 atrasada = SaidaMIDI::instancia().notaLigadaEm(antes, 9, 100, 78);
    QList<CapturaMidi::Linha> linhas;
    ASSERT_TRUE(AmbienteMotor::esperar([&] {
        linhas = CapturaMidi::ler(AmbienteMotor::arquivo(QStringLiteral("captura.txt")), marca);
        return linhas.size() >= 3;
    }));
    const auto clique = std::find_if(linhas.begin(), linhas.end(), [](const auto &l) { return l.dado1 == 76; });
    const auto direta = std::find_if(linhas.begin(), linhas.end(), [](const auto &l) { return l.dado1 == 77; });
    ASSERT_NE(clique, linhas.end());
    ASSERT_NE(direta, linhas.end());
    // The facade knows the latency the library applies, and when the note it placed sounds.
    EXPECT_EQ(SaidaMIDI::instancia().getLatenciaSaida(), 20000) << "the library's default";
    EXPECT_EQ(clique->devido, devido + 20000);
    EXPECT_EQ(soa, clique->devido);
    EXPECT_LT(direta->devido, devido) << "the next note must not be held back";
    EXPECT_GT(atrasada, antes + 20000);
    const auto tarde = std::find_if(linhas.begin(), linhas.end(), [](const auto &l) { return l.dado1 == 78; });
    ASSERT_NE(tarde, linhas.end());
    EXPECT_LE(tarde->devido, atrasada);
}

TEST_F(SaidaMIDITest, ResetsSilenceTheDeviceAndTheControllers)
{
    qint64 marca = AmbienteMotor::marca();
    saida.reiniciarControladores();
    QList<M> esperadas;
    for (int c = 0; c < 16; ++c)
        esperadas.append(AmbienteMotor::m(0xB0 + c, 121, 0));
    EXPECT_EQ(AmbienteMotor::desde(marca), esperadas);

    marca = AmbienteMotor::marca();
    saida.reiniciarDispositivo();
    const QList<M> reinicio = AmbienteMotor::desde(marca);
    EXPECT_TRUE(reinicio.contains(AmbienteMotor::m(0xB0, 123, 0)));
    EXPECT_TRUE(reinicio.contains(AmbienteMotor::m(0xBF, 120, 0)));
}

TEST_F(SaidaMIDITest, OpeningADeviceClosesTheOpenOneAndRejectsIndexesOutOfRange)
{
    const int captura = AmbienteMotor::dispositivoCaptura();
    ASSERT_GE(captura, 0);
    // Reopening the same device closes it first (the close resets it).
    qint64 marca = AmbienteMotor::marca();
    EXPECT_TRUE(saida.abrirDispositivo(captura));
    EXPECT_TRUE(AmbienteMotor::desde(marca).contains(AmbienteMotor::m(0xB0, 123, 0)));

    const int total = static_cast<int>(saida.listarDispositivos().size());
    for (const int fora : {-1, total, 65536 + captura, 65536}) {
        EXPECT_FALSE(saida.abrirDispositivo(fora)) << fora;
        EXPECT_FALSE(saida.dispositivoAberto()) << fora;
        EXPECT_EQ(saida.getDispositivo(), fora);
        // Nothing is open: messages and resets are dropped without error.
        marca = AmbienteMotor::marca();
        saida.notaLigada(9, 127, 38);
        saida.reiniciarDispositivo();
        EXPECT_TRUE(AmbienteMotor::desdeComTempo(marca).empty()) << fora;
    }
    EXPECT_FALSE(saida.abrirDispositivo(AmbienteMotor::dispositivoRecusa()));
    EXPECT_FALSE(saida.dispositivoAberto());
    EXPECT_TRUE(saida.abrirDispositivo(captura));
}

uint32_t segundoFalha(uint32_t dispositivo, char nome[32])
{
    if (dispositivo == 1)
        return 2;
    const char *texto = dispositivo == 0 ? "Primeiro" : "Outro";
    std::strcpy(nome, texto);
    return 0;
}

TEST_F(SaidaMIDITest, DeviceListKeepsEveryDeviceAtItsNumber)
{
    const QStringList nomes = saida.listarDispositivos();
    ASSERT_GE(nomes.size(), 3);
    EXPECT_EQ(nomes.at(AmbienteMotor::dispositivoCaptura()), QStringLiteral("Captura"));
    EXPECT_EQ(nomes.at(AmbienteMotor::dispositivoRecusa()), QStringLiteral("Recusa"));

    // A device whose name query fails still holds its place, with the
    // library's own description.
    CapacidadesDispositivo::definirConsulta(segundoFalha);
    const QStringList comFalha = saida.listarDispositivos();
    ASSERT_EQ(comFalha.size(), nomes.size());
    EXPECT_EQ(comFalha.at(0), QStringLiteral("Primeiro"));
    EXPECT_EQ(comFalha.at(1), nomes.at(1));
    EXPECT_EQ(comFalha.at(2), QStringLiteral("Outro"));
}

TEST(CapacidadesDispositivoTest, NamesAreCutToThirtyOneBytesAtACharacterBoundary)
{
    struct Caso {
        QByteArray entrada;
        QByteArray esperada;
    };
    const QByteArray a30(30, 'a');
    const QByteArray a31(31, 'a');
    const std::vector<Caso> casos{
        {"Tamborly Synth", "Tamborly Synth"},
        {a31 + "b", a31},                                  // 32 bytes lose the last one
        {a30 + "\xC3\xA9", a30},                            // a 2-byte character would end at byte 32
        {QByteArray(29, 'a') + "\xC3\xA9", QByteArray(29, 'a') + "\xC3\xA9"},  // fits exactly
        {QByteArray(28, 'a') + "\xE2\x82\xAC" + "x", QByteArray(28, 'a') + "\xE2\x82\xAC"},
        {QByteArray(29, 'a') + "\xE2\x82", QByteArray(29, 'a')},  // already cut short by the library
        {QByteArray(30, 'a') + "\xF0", QByteArray(30, 'a')},
        {"", ""},
    };
    for (const Caso &caso : casos) {
        char nome[32] = {};
        std::memcpy(nome, caso.entrada.constData(), std::min<size_t>(32, caso.entrada.size()));
        CapacidadesDispositivo::cortarNome(nome);
        EXPECT_EQ(QByteArray(nome), caso.esperada) << caso.entrada.toHex().constData();
        EXPECT_TRUE(QString::fromUtf8(nome).toUtf8() == QByteArray(nome));
    }
}

}  // namespace
