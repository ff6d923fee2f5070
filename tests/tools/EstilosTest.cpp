// The rhythm styles in the application folder: each is a complete General MIDI
// drum pattern that the toolkit reads back and the engine imports.

#include "engine/SaidaMIDI.h"
#include "platform/Windows1252.h"
#include "song/GerenciadorMusica.h"
#include "song/Musica.h"
#include "song/Trilha.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSMF.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiTrack.h"

#include "common/PastaTemporaria.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QStringList estilos(const PastaTemporaria &pasta)
{
    QDir dir(pasta.arquivo(QStringLiteral("styles")));
    QStringList arquivos;
    for (const QString &nome : dir.entryList({QStringLiteral("*.mid")}, QDir::Files, QDir::Name))
        arquivos.append(dir.filePath(nome));
    return arquivos;
}

struct Leitura {
    int andamento = 0;
    int numerador = 0;
    int denominador = 0;
    int resolucao = 0;
    uint32_t fim = 0;
    int notasDoKit = 0;
    QSet<int> velocidades;
    QSet<int> canais;
    QStringList nomes;
};

Leitura ler(TSonoMidi &sonoMidi, const QString &arquivo)
{
    Leitura l;
    TSonoMidiSMF smf;
    smf.SonoMidi = &sonoMidi;
    EXPECT_TRUE(smf.Open(arquivo, 'r', 1));
    if (!smf.IsOpen())
        return l;
    TSonoMidiScore partitura(int(smf.GetNumTracks()));
    smf.SetScore(&partitura);
    smf.Read(nullptr);
    l.resolucao = smf.GetResolution();
    QByteArray dados;
    if (smf.ReadMetaEvent(partitura.GetTrack(0), 0x51, dados) != -1 && dados.size() == 3) {
        const int microssegundos = (uchar(dados[0]) << 16) | (uchar(dados[1]) << 8) | uchar(dados[2]);
        l.andamento = int(60000000.0 / microssegundos + 0.5);
    }
    if (smf.ReadMetaEvent(partitura.GetTrack(0), 0x58, dados) != -1 && dados.size() == 4) {
        l.numerador = uchar(dados[0]);
        l.denominador = 1 << uchar(dados[1]);
    }
    for (int i = 0; i < partitura.GetNumTracks(); ++i) {
        TSonoMidiTrack *faixa = partitura.GetTrack(i);
        if (smf.ReadMetaEvent(faixa, 3, dados) != -1)
            l.nomes.append(Windows1252::decodificar(dados).trimmed());
        uint32_t tempo = 0;
        for (uint32_t e = 0; e < faixa->GetNumEvents(); ++e) {
            const MIDIEVENT *evento = faixa->GetEvent(e);
            tempo += evento->time;
            if ((evento->status & 0xF0) == 0x90 && evento->data2 > 0) {
                l.canais.insert(evento->status & 0x0F);
                if ((evento->status & 0x0F) == 9 && evento->data1 >= 35 && evento->data1 <= 59) {
                    ++l.notasDoKit;
                    l.velocidades.insert(evento->data2);
                }
            }
        }
        l.fim = qMax(l.fim, tempo);
    }
    smf.Close();
    return l;
}

}

TEST(EstilosTest, EveryStyleReadsBackWithTempoMeterNamesBarsAndAGroovingDrumTrack)
{
    PastaTemporaria pasta({QStringLiteral("libSnMidi32.so"), QStringLiteral("styles")});
    const QStringList arquivos = estilos(pasta);
    ASSERT_GE(arquivos.size(), 30);
    TSonoMidi sonoMidi;
    int comBaixoETeclado = 0;
    for (const QString &arquivo : arquivos) {
        SCOPED_TRACE(arquivo.toStdString());
        const Leitura l = ler(sonoMidi, arquivo);
        EXPECT_GE(l.andamento, 40);
        EXPECT_LE(l.andamento, 240);
        ASSERT_GT(l.numerador, 0);
        ASSERT_GT(l.resolucao, 0);
        // Whole bars, 4 to 16 of them.
        const uint32_t compasso = uint32_t(l.resolucao * 4 * l.numerador / l.denominador);
        EXPECT_EQ(l.fim % compasso, 0u);
        EXPECT_GE(l.fim / compasso, 4u);
        EXPECT_LE(l.fim / compasso, 16u);
        EXPECT_TRUE(l.canais.contains(9));
        EXPECT_GE(l.notasDoKit, 8);
        EXPECT_GE(l.velocidades.size(), 3) << "drums without dynamics do not groove";
        // The conductor carries the style's name, every part a name of its own.
        ASSERT_FALSE(l.nomes.isEmpty());
        EXPECT_EQ(l.nomes.first(), QFileInfo(arquivo).completeBaseName());
        EXPECT_FALSE(l.nomes.contains(QString()));
        if (l.canais.contains(1) && l.canais.contains(2))
            ++comBaixoETeclado;
    }
    EXPECT_GE(comBaixoETeclado, 10);
}

TEST(EstilosTest, TheIssuesGenresAreThereAndANonAsciiNameOpensInTheToolkitAndTheEngine)
{
    PastaTemporaria pasta({QStringLiteral("libSnMidi32.so"), QStringLiteral("styles")});
    const QStringList generos{"Rock", "Hard Rock", "Pop", "Pop Ballad", "Funk", "Disco", "Reggae", "Ska",
                              "Blues Shuffle", "Jazz Swing", "Jazz Waltz", "Bossa Nova", "Samba", "Baião",
                              "Forró", "Frevo", "Maracatu", "Xote", "Salsa", "Cha-cha", "Rumba", "Tango",
                              "Waltz", "Country", "Metal Double Bass", "Punk", "Hip-Hop", "R&B",
                              "Drum and Bass", "House", "March"};
    for (const QString &genero : generos)
        EXPECT_TRUE(QFile::exists(pasta.arquivo(QStringLiteral("styles/") + genero + QStringLiteral(".mid"))))
            << genero.toStdString();

    const QString baiao = pasta.arquivo(QStringLiteral("styles/Bai\u00e3o.mid"));
    TSonoMidi sonoMidi;
    const Leitura l = ler(sonoMidi, baiao);
    EXPECT_EQ(l.nomes.value(0), QStringLiteral("Bai\u00e3o"));
    EXPECT_EQ(l.numerador, 2);

    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.abrirDispositivo(0);
    ASSERT_NO_THROW(saida.carregarArquivo(baiao));
    EXPECT_EQ(saida.nomeTrilha(0), QStringLiteral("Bai\u00e3o"));
    saida.fecharArquivo();
}

TEST(EstilosTest, EveryStyleImportsThroughTheEngineWithADrumTrack)
{
    PastaTemporaria pasta({QStringLiteral("libSnMidi32.so"), QStringLiteral("styles")});
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.abrirDispositivo(0);
    for (const QString &arquivo : estilos(pasta)) {
        SCOPED_TRACE(arquivo.toStdString());
        ASSERT_NO_THROW(saida.carregarArquivo(arquivo));
        const Musica *musica = GerenciadorMusica::instancia().getMusica();
        ASSERT_NE(musica, nullptr);
        bool bateria = false;
        for (int32_t i = 0; i < musica->getNumTrilhas(); ++i)
            bateria = bateria || (musica->getTrilha(i) && musica->getTrilha(i)->temBateria());
        EXPECT_TRUE(bateria);
        EXPECT_GT(GerenciadorMusica::instancia().getTotalTicks(), 64 * 4 * 3);
        saida.fecharArquivo();
    }
}
