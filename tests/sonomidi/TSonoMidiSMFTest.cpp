#include "sonomidi/TSonoMidiSMF.h"

#include "AmbienteSnMidi.h"
#include "EspiaoSnMidi.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiSync.h"
#include "sonomidi/TSonoMidiTrack.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {
using Trilha = std::vector<MIDIEVENT>;

struct Arquivo {
    std::vector<Trilha> trilhas;
    std::vector<QByteArray> nomes;  // one per track, empty for none
    uint32_t tempo = 0;              // Set Tempo at tick 0 of the first track, 0 for none
};

// Writes a file through the component itself.
void escrever(TSonoMidi &ligacao, const QString &caminho, const Arquivo &arquivo)
{
    TSonoMidiSMF smf;
    smf.SonoMidi = &ligacao;
    ASSERT_TRUE(smf.Open(caminho, 'w', 1));
    TSonoMidiScore partitura(static_cast<int>(arquivo.trilhas.size()));
    smf.SetScore(&partitura);
    for (size_t t = 0; t < arquivo.trilhas.size(); ++t) {
        TSonoMidiTrack *trilha = partitura.GetTrack(static_cast<int>(t));
        trilha->SetCapacity(static_cast<uint32_t>(arquivo.trilhas[t].size()));
        for (size_t i = 0; i < arquivo.trilhas[t].size(); ++i)
            *trilha->GetEvent(static_cast<uint32_t>(i)) = arquivo.trilhas[t][i];
        trilha->SetNumEvents(static_cast<uint32_t>(arquivo.trilhas[t].size()));
        if (t < arquivo.nomes.size() && !arquivo.nomes[t].isEmpty()) {
            ASSERT_TRUE(smf.WriteMetaEvent(trilha, 0x03, arquivo.nomes[t].constData(), 0));
        }
        if (t == 0 && arquivo.tempo) {
            const uint8_t bytes[3] = {static_cast<uint8_t>(arquivo.tempo >> 16), static_cast<uint8_t>(arquivo.tempo >> 8),
                                      static_cast<uint8_t>(arquivo.tempo)};
            ASSERT_TRUE(smf.WriteMetaEvent(trilha, 0x51, bytes, 0));
        }
        ASSERT_TRUE(smf.WriteTrack(trilha));
    }
    smf.Close();
}

Trilha notas(uint32_t quantas, uint8_t canal = 9)
{
    Trilha trilha;
    for (uint32_t i = 0; i < quantas; ++i)
        trilha.push_back({i % 2 ? 0u : 1u, static_cast<uint8_t>((i % 2 ? 0x80 : 0x90) + canal), static_cast<uint8_t>(35 + i % 25),
                          static_cast<uint8_t>(i % 2 ? 0 : 100), 0});
    return trilha;
}

bool iguais(const MIDIEVENT &a, const MIDIEVENT &b)
{
    return a.time == b.time && a.status == b.status && a.data1 == b.data1 && a.data2 == b.data2;
}

class TSonoMidiSMFTest : public ::testing::Test {
protected:
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    TSonoMidiSMF smf;
    void SetUp() override { smf.SonoMidi = &ligacao; }
    QString caminho(const char *nome) const { return ambiente.arquivo(QLatin1String(nome)); }
};
}

TEST_F(TSonoMidiSMFTest, ALongTrackIsReadInFullChunksAndTheBufferDoubles)
{
    const Trilha longa = notas(20000);
    escrever(ligacao, caminho("longa.mid"), {{longa}, {"Bateria"}});

    ASSERT_TRUE(smf.Open(caminho("longa.mid"), 'r', 1));
    ASSERT_EQ(smf.GetNumTracks(), 1u);
    TSonoMidiScore partitura(1);
    smf.SetScore(&partitura);
    EspiaoSnMidi espiao(ligacao);
    ASSERT_TRUE(smf.Read(nullptr));
    QList<qint64> lidos;
    for (const auto &chamada : espiao.chamadas(QStringLiteral("ReadSMF"))) {
        lidos.append(chamada.resultado);
        EXPECT_EQ(chamada.argumentos[3], 8192);
    }
    EXPECT_EQ(lidos, (QList<qint64>{8192, 8192, 3616, 0}));
    TSonoMidiTrack *trilha = partitura.GetTrack(0);
    EXPECT_EQ(trilha->GetNumEvents(), 20000u);
    EXPECT_EQ(trilha->GetCapacity(), 32768u);
    for (uint32_t i = 0; i < 20000; ++i)
        ASSERT_TRUE(iguais(*trilha->GetEvent(i), longa[i])) << i;
    EXPECT_TRUE(espiao.chamadas(QStringLiteral("SetResolution")).isEmpty());  // no clock given

    // Reading again refills the same buffer from the start.
    ASSERT_TRUE(smf.Read(nullptr));
    EXPECT_EQ(trilha->GetNumEvents(), 20000u);
    EXPECT_EQ(trilha->GetCapacity(), 32768u);
}

// A long read can be stopped between chunks: what came before stays, the tracks after
// are empty, the clock gets nothing, and the next read starts over in full.
TEST_F(TSonoMidiSMFTest, OnReadChunkCanStopAReadBetweenChunks)
{
    escrever(ligacao, caminho("duas.mid"), {{notas(20000), notas(5000)}, {}});
    ASSERT_TRUE(smf.Open(caminho("duas.mid"), 'r', 1));
    TSonoMidiScore partitura(2);
    smf.SetScore(&partitura);
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    EspiaoSnMidi espiao(ligacao);
    QList<qint64> vistos;
    smf.OnReadChunk = [&](QObject *Sender, uint64_t Records, bool &Abort) {
        EXPECT_EQ(Sender, &smf);
        vistos.append(qint64(Records));
        Abort = Records >= 8192;
    };
    EXPECT_FALSE(smf.Read(&relogio));
    EXPECT_EQ(vistos, (QList<qint64>{0, 8192}));
    EXPECT_EQ(partitura.GetTrack(0)->GetNumEvents(), 8192u);
    EXPECT_EQ(partitura.GetTrack(1)->GetNumEvents(), 0u);
    EXPECT_EQ(espiao.chamadas(QStringLiteral("ReadSMF")).size(), 1);
    EXPECT_TRUE(espiao.chamadas(QStringLiteral("SetResolution")).isEmpty());

    // Every chunk is announced, the last with all the records of every track before it.
    vistos.clear();
    smf.OnReadChunk = [&](QObject *, uint64_t Records, bool &) { vistos.append(qint64(Records)); };
    EXPECT_TRUE(smf.Read(&relogio));
    EXPECT_EQ(vistos, (QList<qint64>{0, 8192, 16384, 20000, 20000, 25000}));
    EXPECT_EQ(partitura.GetTrack(0)->GetNumEvents(), 20000u);
    EXPECT_EQ(partitura.GetTrack(1)->GetNumEvents(), 5000u);
}

TEST_F(TSonoMidiSMFTest, WrittenTracksReadBackIdenticalWithTheirMetaEventsByType)
{
    std::mt19937 sorteio(11);
    std::vector<Trilha> trilhas(3);
    for (uint8_t t = 0; t < 3; ++t)
        for (int i = 0; i < 300 + 100 * t; ++i) {
            const uint8_t status = static_cast<uint8_t>((sorteio() % 3 == 0 ? 0xB0 : 0x90) + t);
            trilhas[t].push_back({static_cast<uint32_t>(sorteio() % 200), status, static_cast<uint8_t>(sorteio() % 128),
                                  static_cast<uint8_t>(sorteio() % 128), 0});
        }
    escrever(ligacao, caminho("tres.mid"), {trilhas, {"Tempo", "Bateria", ""}, 500000});

    ASSERT_TRUE(smf.Open(caminho("tres.mid"), 'r', 1));
    ASSERT_EQ(smf.GetNumTracks(), 3u);
    EXPECT_EQ(smf.GetResolution(), 480);
    TSonoMidiScore partitura(3);
    smf.SetScore(&partitura);
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    EspiaoSnMidi espiao(ligacao);
    ASSERT_TRUE(smf.Read(&relogio));
    // A closed clock still gets the resolution, with handle 0.
    ASSERT_EQ(espiao.chamadas(QStringLiteral("SetResolution")).size(), 1);
    EXPECT_EQ(espiao.chamadas(QStringLiteral("SetResolution"))[0].argumentos, (QList<qint64>{0, 480}));
    EXPECT_EQ(espiao.nomes().first(), QStringLiteral("RewindSMF"));

    // The first track starts with the tempo as a record of status 0.
    TSonoMidiTrack *primeira = partitura.GetTrack(0);
    ASSERT_EQ(primeira->GetNumEvents(), trilhas[0].size() + 1);
    EXPECT_EQ(primeira->GetEvent(0)->status, 0);
    for (int t = 0; t < 3; ++t) {
        TSonoMidiTrack *trilha = partitura.GetTrack(t);
        const uint32_t inicio = t == 0 ? 1 : 0;
        ASSERT_EQ(trilha->GetNumEvents(), trilhas[t].size() + inicio);
        for (uint32_t i = 0; i < trilhas[t].size(); ++i)
            ASSERT_TRUE(iguais(*trilha->GetEvent(i + inicio), trilhas[t][i])) << t << ":" << i;
    }

    QByteArray dados("not touched");
    EXPECT_NE(smf.ReadMetaEvent(partitura.GetTrack(1), 0x03, dados), -1);
    EXPECT_EQ(dados, QByteArray("Bateria"));
    EXPECT_NE(smf.ReadMetaEvent(primeira, 0x51, dados), -1);
    EXPECT_EQ(dados, QByteArray("\x07\xA1\x20", 3));
    dados = "not touched";
    EXPECT_EQ(smf.ReadMetaEvent(partitura.GetTrack(2), 0x03, dados), -1);
    EXPECT_TRUE(dados.isEmpty());
    dados = "not touched";
    EXPECT_EQ(smf.ReadMetaEvent(primeira, 0x58, dados), -1);
    EXPECT_TRUE(dados.isEmpty());
    TSonoMidiTrack estranha;
    espiao.limpar();
    EXPECT_EQ(smf.ReadMetaEvent(&estranha, 0x03, dados), -1);
    EXPECT_TRUE(espiao.chamadas().isEmpty());
}

TEST_F(TSonoMidiSMFTest, OpenOnAnOpenFileClosesItAndARefusedOpenLeavesItClosed)
{
    escrever(ligacao, caminho("duas.mid"), {{notas(10), notas(20)}, {}});
    escrever(ligacao, caminho("uma.mid"), {{notas(5)}, {}});
    EXPECT_FALSE(smf.IsOpen());
    EXPECT_EQ(smf.GetNumTracks(), 0u);
    ASSERT_TRUE(smf.Open(caminho("duas.mid"), 'r', 1));
    EXPECT_EQ(smf.GetNumTracks(), 2u);
    TSonoMidiScore partitura(2);
    smf.SetScore(&partitura);
    const SNHANDLE primeiro = smf.GetHandle();

    EspiaoSnMidi espiao(ligacao);
    ASSERT_TRUE(smf.Open(caminho("uma.mid"), 'r', 1));
    EXPECT_EQ(espiao.nomes(), (QStringList{"CloseSMF", "OpenSMF"}));
    EXPECT_EQ(espiao.chamadas()[0].argumentos, (QList<qint64>{primeiro}));
    EXPECT_EQ(smf.GetScore(), nullptr);
    EXPECT_EQ(smf.GetNumTracks(), 1u);

    // Refused: closed, handle and track count 0, the old score detached.
    smf.SetScore(&partitura);
    EXPECT_FALSE(smf.Open(caminho("nao-existe.mid"), 'r', 1));
    EXPECT_FALSE(smf.IsOpen());
    EXPECT_EQ(smf.GetHandle(), 0u);
    EXPECT_EQ(smf.GetNumTracks(), 0u);
    EXPECT_EQ(smf.GetScore(), nullptr);
    EXPECT_FALSE(smf.Open(QString(), 'r', 1));

    // With a score of tracks the read fails in ReadTrack; with none it succeeds,
    // and with no file nothing reaches the library.
    smf.SetScore(&partitura);
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.Read(nullptr); }), QStringLiteral("SMF not open"));
    TSonoMidiScore vazia(0);
    smf.SetScore(&vazia);
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    espiao.limpar();
    EXPECT_TRUE(smf.Read(&relogio));
    EXPECT_EQ(smf.GetResolution(), 0);
    QByteArray dados("x");
    EXPECT_EQ(smf.ReadMetaEvent(nullptr, 0x03, dados), -1);
    EXPECT_TRUE(dados.isEmpty());
    EXPECT_TRUE(espiao.chamadas().isEmpty()) << espiao.nomes().join(',').toStdString();
}

TEST_F(TSonoMidiSMFTest, CloseZeroesTheHandleAndModesGuardReadsAndWrites)
{
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.Close(); }), QStringLiteral("SMF not open"));
    TSonoMidiSMF semLigacao;
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { semLigacao.Open(caminho("a.mid"), 'r', 1); }), QStringLiteral("No SonoMidi"));

    escrever(ligacao, caminho("uma.mid"), {{notas(5)}, {"Uma"}});
    TSonoMidiScore partitura(1);
    TSonoMidiTrack *trilha = partitura.GetTrack(0);
    TSonoMidiTrack estranha;
    ASSERT_TRUE(smf.Open(caminho("uma.mid"), 'r', 1));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.Read(nullptr); }), QStringLiteral("SMF cant read"));
    smf.SetScore(&partitura);
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.ReadTrack(&estranha); }), QStringLiteral("SMF bad track"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.WriteTrack(trilha); }), QStringLiteral("SMF cant write"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.WriteMetaEvent(trilha, 3, "x", 0); }), QStringLiteral("SMF cant write"));
    EXPECT_TRUE(smf.ReadTrack(trilha));
    EXPECT_EQ(trilha->GetNumEvents(), 5u);

    EspiaoSnMidi espiao(ligacao);
    smf.Close();
    EXPECT_EQ(espiao.nomes(), (QStringList{"CloseSMF"}));
    EXPECT_FALSE(smf.IsOpen());
    EXPECT_EQ(smf.GetHandle(), 0u);
    EXPECT_EQ(smf.GetNumTracks(), 0u);
    EXPECT_EQ(smf.GetScore(), nullptr);
    EXPECT_EQ(smf.GetMode(), 'r');  // the mode outlives Close
    QByteArray dados;
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.Read(nullptr); }), QStringLiteral("SMF cant read"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.ReadMetaEvent(trilha, 3, dados); }), QStringLiteral("SMF cant read"));
    smf.SetScore(&partitura);
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.ReadTrack(trilha); }), QStringLiteral("SMF not open"));
    EXPECT_EQ(smf.ReadMetaEvent(trilha, 3, dados), -1);
    EXPECT_EQ(smf.GetResolution(), 0);

    // Write mode: reads are refused, and with no file a write reports false
    // without reaching the library.
    EXPECT_FALSE(smf.Open(caminho("pasta-que-nao-existe/b.mid"), 'w', 1));
    smf.SetScore(&partitura);
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.Read(nullptr); }), QStringLiteral("SMF cant read"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.ReadMetaEvent(trilha, 3, dados); }), QStringLiteral("SMF cant read"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { smf.WriteTrack(&estranha); }), QStringLiteral("SMF bad track"));
    espiao.limpar();
    EXPECT_FALSE(smf.WriteTrack(trilha));
    EXPECT_FALSE(smf.WriteMetaEvent(trilha, 3, "x", 0));
    EXPECT_FALSE(smf.WriteMetaEvent(&estranha, 3, "x", 0));
    EXPECT_TRUE(espiao.chamadas().isEmpty()) << espiao.nomes().join(',').toStdString();
}
