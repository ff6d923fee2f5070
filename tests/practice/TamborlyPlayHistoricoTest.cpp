#include "practice/HistoricoPratica.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Saida {
    int codigo = -1;
    QStringList linhas;
    QString erro;
};

Saida historico(const QString &dadosUsuario, const QStringList &argumentos)
{
    QProcess processo;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("XDG_DATA_HOME"), dadosUsuario);
    ambiente.insert(QStringLiteral("SNMIDI32_AUDIO"), QStringLiteral("null"));
    ambiente.insert(QStringLiteral("SNMIDI32_SOUNDFONT"), QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"));
    ambiente.remove(QStringLiteral("SNMIDI32_CAPTURE"));
    ambiente.remove(QStringLiteral("SNMIDI32_CAPTURE_DEVICES"));
    processo.setProcessEnvironment(ambiente);
    processo.start(QStringLiteral(TAMBORLY_PLAY), argumentos);
    Saida s;
    if (!processo.waitForFinished(60000))
        return s;
    s.codigo = processo.exitCode();
    s.linhas = QString::fromUtf8(processo.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    s.erro = QString::fromUtf8(processo.readAllStandardError());
    return s;
}

// A Standard MIDI File of one track: `golpes` snare strokes on channel 10, a
// sixteenth apart at 96 ticks per quarter note, and no tempo of its own.
QByteArray caixas(int golpes)
{
    QByteArray trilha;
    for (int i = 0; i < golpes; ++i) {
        trilha += QByteArray::fromHex(i == 0 ? "00992664" : "0c992664");
        trilha += QByteArray::fromHex("0c892600");
    }
    trilha += QByteArray::fromHex("00ff2f00");
    QByteArray smf = QByteArray::fromHex("4d546864000000060000000100604d54726b");
    for (int b = 3; b >= 0; --b)
        smf += char((trilha.size() >> (8 * b)) & 0xff);
    return smf + trilha;
}

}  // namespace

TEST(TamborlyPlayHistorico, PrintsASongsRunsOneLineEachNewestLastAlsoForARenamedCopy)
{
    QTemporaryDir pasta;
    const QString dados = pasta.filePath(QStringLiteral("data"));
    const QString musica = pasta.filePath(QStringLiteral("groove.mid"));
    QFile f(musica);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300, 'm'));
    f.close();

    // No history at all yet: nothing printed, a hint on stderr, success.
    Saida s = historico(dados, {QStringLiteral("--history"), musica});
    EXPECT_EQ(s.codigo, 0) << qPrintable(s.erro);
    EXPECT_TRUE(s.linhas.isEmpty());
    EXPECT_TRUE(s.erro.contains(QStringLiteral("no scored runs"))) << qPrintable(s.erro);

    {
        HistoricoPratica h(dados + QStringLiteral("/tamborly/practice.sqlite"));
        ASSERT_TRUE(h.aberto()) << qPrintable(h.getErro());
        const QString hash = HistoricoPratica::hashArquivo(musica);
        // Saved out of order: the listing sorts by when the run ended.
        for (qint64 quando : {3000000000000LL, 1000000000000LL, 2000000000000LL}) {
            ExecucaoPratica e;
            e.quando = QDateTime::fromMSecsSinceEpoch(quando, Qt::UTC);
            e.arquivo = QStringLiteral("groove.mid");
            e.hash = hash;
            e.velocidade = quando == 2000000000000LL ? 0.8 : 1.0;
            e.loopInicio = quando == 3000000000000LL ? 256 : -1;
            e.loopFim = quando == 3000000000000LL ? 512 : -1;
            e.duracaoMs = 90000;
            e.resultado.esperados = 20;
            e.resultado.perfeitos = static_cast<int>(quando / 1000000000000LL) * 5;
            e.resultado.perdidos = 20 - e.resultado.perfeitos;
            e.resultado.desvioMedioMs = -3.5;
            e.resultado.familias[35] = {20, e.resultado.perfeitos};
            ASSERT_TRUE(h.salvar(e));
        }
        ExecucaoPratica outra;
        outra.hash = QStringLiteral("other");
        outra.resultado.esperados = 10;
        ASSERT_TRUE(h.salvar(outra));
    }

    const QString copia = pasta.filePath(QStringLiteral("renamed.mid"));
    ASSERT_TRUE(QFile::copy(musica, copia));
    for (const QString &arquivo : {musica, copia}) {
        s = historico(dados, {QStringLiteral("--history"), arquivo});
        EXPECT_EQ(s.codigo, 0) << qPrintable(s.erro);
        ASSERT_EQ(s.linhas.size(), 3) << qPrintable(s.linhas.join(u'\n'));
        EXPECT_TRUE(s.linhas[0].contains(QStringLiteral(" accuracy=25.0% expected=20 perfect=5 good=0 ok=0 misses=15 extras=0"
                                                        " mean_offset_ms=-3.5 spread_ms=0.0 speed=100% section=all"
                                                        " minutes=1.5 families=35:5/20 file=groove.mid")))
            << qPrintable(s.linhas[0]);
        EXPECT_TRUE(s.linhas[1].contains(QStringLiteral("accuracy=50.0%"))) << qPrintable(s.linhas[1]);
        EXPECT_TRUE(s.linhas[1].contains(QStringLiteral("speed=80%"))) << qPrintable(s.linhas[1]);
        EXPECT_TRUE(s.linhas[2].contains(QStringLiteral("accuracy=75.0%"))) << qPrintable(s.linhas[2]);
        EXPECT_TRUE(s.linhas[2].contains(QStringLiteral("section=5-9"))) << qPrintable(s.linhas[2]);
        EXPECT_TRUE(s.linhas[2].startsWith(QDateTime::fromMSecsSinceEpoch(3000000000000LL, Qt::UTC)
                                               .toLocalTime()
                                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))))
            << qPrintable(s.linhas[2]);
    }

    s = historico(dados, {QStringLiteral("--history"), pasta.filePath(QStringLiteral("missing.mid"))});
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(s.erro.contains(QStringLiteral("missing.mid"))) << qPrintable(s.erro);
    EXPECT_TRUE(s.linhas.isEmpty());
}

TEST(TamborlyPlayHistorico, PlayAlongKeepsTheRunUnlessToldNot)
{
    QTemporaryDir pasta;
    const QString dados = pasta.filePath(QStringLiteral("data"));
    const QString musica = pasta.filePath(QStringLiteral("snare.mid"));
    QFile f(musica);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(caixas(16));
    f.close();
    const QStringList tocar = {musica, QStringLiteral("--bpm"), QStringLiteral("2000"), QStringLiteral("--play-along")};

    // Nobody drums along: sixteen misses, one run kept.
    Saida s = historico(dados, tocar);
    ASSERT_EQ(s.codigo, 0) << qPrintable(s.erro);
    s = historico(dados, {QStringLiteral("--history"), musica});
    ASSERT_EQ(s.linhas.size(), 1) << qPrintable(s.erro);
    EXPECT_TRUE(s.linhas[0].contains(QStringLiteral(" accuracy=0.0% expected=16 perfect=0 good=0 ok=0 misses=16 ")))
        << qPrintable(s.linhas[0]);
    EXPECT_TRUE(s.linhas[0].contains(QStringLiteral("speed=100% section=all"))) << qPrintable(s.linhas[0]);
    EXPECT_TRUE(s.linhas[0].endsWith(QStringLiteral(" file=snare.mid"))) << qPrintable(s.linhas[0]);

    s = historico(dados, tocar + QStringList{QStringLiteral("--no-history")});
    ASSERT_EQ(s.codigo, 0) << qPrintable(s.erro);
    s = historico(dados, {QStringLiteral("--history"), musica});
    EXPECT_EQ(s.linhas.size(), 1);
    // Too short to say anything: not kept either.
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(caixas(HistoricoPratica::minimoEsperados - 1));
    f.close();
    s = historico(dados, tocar);
    ASSERT_EQ(s.codigo, 0) << qPrintable(s.erro);
    HistoricoPratica h(dados + QStringLiteral("/tamborly/practice.sqlite"));
    EXPECT_EQ(h.execucoesDaMusica(HistoricoPratica::hashArquivo(musica)).size(), 0u);
}
