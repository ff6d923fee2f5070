#include "AmbienteMotor.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

namespace {

struct Resultado {
    int codigo;
    QString saida;
    QString erro;
    QList<QList<int>> capturadas;  // device, status, data 1, data 2
};

Resultado tocar(const QStringList &argumentos, const QString &entradas = QString(), const QString &latenciaMs = QString())
{
    QTemporaryDir pasta;
    const QString captura = pasta.filePath(QStringLiteral("captura.txt"));
    QProcess processo;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("SNMIDI32_CAPTURE"), captura);
    ambiente.insert(QStringLiteral("SNMIDI32_AUDIO"), QStringLiteral("null"));
    ambiente.remove(QStringLiteral("SNMIDI32_CAPTURE_DEVICES"));
    ambiente.insert(QStringLiteral("SNMIDI32_INPUT_DEVICES"), entradas);
    if (latenciaMs.isEmpty())
        ambiente.remove(QStringLiteral("SNMIDI32_LATENCY_MS"));
    else
        ambiente.insert(QStringLiteral("SNMIDI32_LATENCY_MS"), latenciaMs);
    processo.setProcessEnvironment(ambiente);
    processo.start(QStringLiteral(TAMBORLY_BUILD_APP_DIR "/tamborly-play"), argumentos);
    Resultado resultado{-1, {}, {}, {}};
    if (!processo.waitForFinished(60000))
        return resultado;
    resultado.codigo = processo.exitCode();
    resultado.saida = QString::fromUtf8(processo.readAllStandardOutput());
    resultado.erro = QString::fromUtf8(processo.readAllStandardError());
    QFile arquivo(captura);
    if (arquivo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &linha : arquivo.readAll().split('\n')) {
            const QList<QByteArray> campos = linha.split(' ');
            if (campos.size() == 5 || campos.size() == 6)  // the sixth: when it is to sound
                resultado.capturadas.append({campos[1].toInt(), campos[2].toInt(), campos[3].toInt(), campos[4].toInt()});
        }
    }
    return resultado;
}

TEST(TamborlyPlayTest, PlaysASongToItsEndAndSilencesTheDevice)
{
    const QString musica = AmbienteMotor::arquivo(QStringLiteral("tocar.mid"));
    // No Set Tempo in the file, so --bpm holds: two beats at 2000 BPM.
    ASSERT_TRUE(gravarMidi(musica, 64, {{emTicks({{0, 0x99, 36, 100}, {8, 0x99, 36, 0}, {64, 0x99, 38, 90}, {72, 0x99, 38, 0}, {100, 0xB0, 7, 99}}), {nome("Drums")}}}));
    const Resultado r = tocar({musica, QStringLiteral("--bpm"), QStringLiteral("2000")});
    ASSERT_EQ(r.codigo, 0) << r.erro.toStdString();
    EXPECT_TRUE(r.saida.contains(QStringLiteral("\rbeat 1 of 2, 2000 BPM"))) << r.saida.toStdString();
    EXPECT_TRUE(r.saida.contains(QStringLiteral("\rbeat 2 of 2"))) << r.saida.toStdString();
    EXPECT_FALSE(r.saida.contains(QStringLiteral("beat 3"))) << r.saida.toStdString();
    EXPECT_TRUE(r.saida.endsWith(QLatin1Char('\n')));

    QList<QList<int>> notas;
    for (const QList<int> &m : r.capturadas) {
        if ((m[1] & 0xF0) == 0x90 || (m[1] == 0xB0 && m[2] == 7 && m[3] == 99))
            notas.append(m);
    }
    EXPECT_EQ(notas, (QList<QList<int>>{{0, 0x99, 36, 100}, {0, 0x99, 36, 0}, {0, 0x99, 38, 90}, {0, 0x99, 38, 0}, {0, 0xB0, 7, 99}}));
    // The end silences the device and resets its controllers; then the port is closed,
    // which silences every channel once more and sends nothing else.
    qsizetype fim = r.capturadas.size();
    while (fim > 0 && r.capturadas[fim - 1][1] >= 0xB0 && r.capturadas[fim - 1][1] <= 0xBF
           && (r.capturadas[fim - 1][2] == 120 || r.capturadas[fim - 1][2] == 123))
        --fim;
    EXPECT_EQ(r.capturadas.size() - fim, 32);
    ASSERT_GE(fim, 16);
    EXPECT_EQ(r.capturadas[fim - 1], (QList<int>{0, 0xBF, 121, 0}));
}

TEST(TamborlyPlayTest, VolumeIsAMasterOverTheSongsChannelVolumes)
{
    const QString musica = AmbienteMotor::arquivo(QStringLiteral("volume.mid"));
    ASSERT_TRUE(gravarMidi(musica, 64, {{emTicks({{0, 0xB0, 7, 99}, {0, 0x99, 36, 100}, {8, 0x99, 36, 0}, {16, 0xB9, 7, 127}}), {nome("Drums")}}}));
    const auto volumesDe = [](const QList<QList<int>> &capturadas) {
        QList<QList<int>> volumes;
        for (const QList<int> &m : capturadas) {
            if ((m[1] & 0xF0) == 0xB0 && m[2] == 7 && (m[1] == 0xB0 || m[1] == 0xB9))
                volumes.append(m);
        }
        return volumes;
    };
    // At 50 %: the opening puts channels 0 and 9 at 127 under the master (63), then the
    // song's own volumes play at half: 99 gives 49, 127 gives 63.
    Resultado r = tocar({musica, QStringLiteral("--bpm"), QStringLiteral("2000"), QStringLiteral("--volume"), QStringLiteral("50")});
    ASSERT_EQ(r.codigo, 0) << r.erro.toStdString();
    EXPECT_EQ(volumesDe(r.capturadas).mid(volumesDe(r.capturadas).size() - 2),
              (QList<QList<int>>{{0, 0xB0, 7, 49}, {0, 0xB9, 7, 63}}));
    // At 0 % the song stays silent: after the 16 full volumes of the facade's
    // construction, every channel volume sent is 0.
    r = tocar({musica, QStringLiteral("--bpm"), QStringLiteral("2000"), QStringLiteral("--volume"), QStringLiteral("0")});
    ASSERT_EQ(r.codigo, 0) << r.erro.toStdString();
    QList<QList<int>> todos;
    for (const QList<int> &m : r.capturadas)
        if ((m[1] & 0xF0) == 0xB0 && m[2] == 7)
            todos.append(m);
    ASSERT_GT(todos.size(), 16 + 2);
    for (const QList<int> &m : todos.mid(16))
        EXPECT_EQ(m[3], 0) << m[1];
    EXPECT_EQ(todos.last(), (QList<int>{0, 0xB9, 7, 0}));
    // Out of range or not a number: the usage, and nothing played.
    for (const QString &fora : {QStringLiteral("101"), QStringLiteral("-1"), QStringLiteral("half")}) {
        r = tocar({musica, QStringLiteral("--volume"), fora});
        EXPECT_EQ(r.codigo, 2) << fora.toStdString();
        EXPECT_TRUE(r.erro.contains(QStringLiteral("--volume PERCENT"))) << fora.toStdString();
        EXPECT_TRUE(r.capturadas.isEmpty()) << fora.toStdString();
    }
}

TEST(TamborlyPlayTest, PlaysTheLastTickOfASongWhoseLengthIsAWholeBeat)
{
    const QString musica = AmbienteMotor::arquivo(QStringLiteral("inteira.mid"));
    // The release sits on tick 128, a report tick: the report at exactly the length must not end the song.
    ASSERT_TRUE(gravarMidi(musica, 64, {{emTicks({{0, 0x99, 36, 100}, {128, 0x99, 36, 0}}), {nome("Drums")}}}));
    const Resultado r = tocar({musica, QStringLiteral("--bpm"), QStringLiteral("2000")});
    ASSERT_EQ(r.codigo, 0) << r.erro.toStdString();
    EXPECT_TRUE(r.capturadas.contains(QList<int>{0, 0x99, 36, 0}));
    EXPECT_FALSE(r.saida.contains(QStringLiteral("beat 4"))) << r.saida.toStdString();
}

TEST(TamborlyPlayTest, ReportsWhatCannotBePlayed)
{
    const QString texto = AmbienteMotor::arquivo(QStringLiteral("texto.mid"));
    QFile arquivo(texto);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("not MIDI\n");
    arquivo.close();
    Resultado r = tocar({texto});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.erro.contains(QStringLiteral("SMF not open"))) << r.erro.toStdString();

    r = tocar({AmbienteMotor::arquivo(QStringLiteral("ausente.mid"))});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.erro.contains(QStringLiteral("no such file"))) << r.erro.toStdString();

    for (const QStringList &errados : {QStringList{}, QStringList{texto, QStringLiteral("--bpm"), QStringLiteral("0")},
                                       QStringList{texto, QStringLiteral("--volume")}, QStringList{texto, texto}}) {
        r = tocar(errados);
        EXPECT_EQ(r.codigo, 2) << errados.join(' ').toStdString();
        EXPECT_TRUE(r.erro.startsWith(QStringLiteral("usage: tamborly-play")));
    }

    r = tocar({texto, QStringLiteral("--device"), QStringLiteral("40")});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.erro.contains(QStringLiteral("cannot open MIDI output device 40"))) << r.erro.toStdString();
    r = tocar({QStringLiteral("--list-devices")});
    EXPECT_EQ(r.codigo, 0);
    EXPECT_TRUE(r.saida.startsWith(QStringLiteral("0  Tamborly Synth\n"))) << r.saida.toStdString();
}

// A number of the score line, after its name.
double campo(const QString &pontuacao, const QString &nome)
{
    const qsizetype inicio = pontuacao.indexOf(nome);
    if (inicio < 0)
        return std::nan("");
    return pontuacao.mid(inicio + nome.size()).section(QLatin1Char(' '), 0, 0).toDouble();
}

// A drummer who plays exactly with what is heard scores on time, whatever the output's
// latency: the strokes are expected when the song sounds them, its latency after their
// beat was due.
TEST(TamborlyPlayTest, AKitStrikingWhenTheStrokesSoundScoresOnTimeWithAnyOutputLatency)
{
    // Eight snare strokes a beat apart at 120 BPM, with a bass note on each beat to play along with.
    std::vector<std::tuple<uint32_t, uint8_t, uint8_t, uint8_t>> eventos;
    for (uint32_t k = 0; k < 8; ++k) {
        eventos.emplace_back(k * 64, 0x99, 38, 100);
        eventos.emplace_back(k * 64, 0x92, 40, 90);
        eventos.emplace_back(k * 64 + 32, 0x92, 40, 0);
    }
    const QString musica = AmbienteMotor::arquivo(QStringLiteral("no-tempo.mid"));
    ASSERT_TRUE(gravarMidi(musica, 64, {{emTicks(eventos), {nome("Drums")}}}));
    const int64_t batida = 499968;  // 64 ticks of 7812 us

    struct Caso {
        QString ambiente;  // SNMIDI32_LATENCY_MS; empty for the default
        int64_t latenciaUs;
    };
    for (const Caso &caso : {Caso{QString(), 20000}, Caso{QStringLiteral("30"), 30000}}) {
        SCOPED_TRACE(caso.ambiente.isEmpty() ? std::string("default latency") : caso.ambiente.toStdString() + " ms");
        const QString kit = AmbienteMotor::arquivo(QStringLiteral("kit-no-tempo.txt"));
        QFile arquivo(kit);
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int k = 0; k < 8; ++k)
            arquivo.write(QByteArray::number(k * batida + caso.latenciaUs) + " 153 38 100\n");
        arquivo.close();
        const Resultado r = tocar({musica, QStringLiteral("--bpm"), QStringLiteral("120"), QStringLiteral("--play-along"),
                                   QStringLiteral("--input"), QStringLiteral("Kit"), QStringLiteral("--no-history")},
                                  QStringLiteral("Kit:") + kit, caso.ambiente);
        ASSERT_EQ(r.codigo, 0) << r.erro.toStdString();
        const qsizetype linha = r.saida.indexOf(QStringLiteral("score: "));
        ASSERT_GE(linha, 0) << r.saida.toStdString();
        const QString pontuacao = r.saida.mid(linha).trimmed();
        EXPECT_TRUE(pontuacao.startsWith(QStringLiteral("score: expected=8 hits=8 perfect=8 good=0 ok=0 misses=0 extras=0 ")))
            << pontuacao.toStdString();
        EXPECT_NEAR(campo(pontuacao, QStringLiteral("mean_offset_ms=")), 0.0, 0.15) << pontuacao.toStdString();
        EXPECT_NEAR(campo(pontuacao, QStringLiteral("spread_ms=")), 0.0, 0.15) << pontuacao.toStdString();
    }
}

TEST(TamborlyPlayTest, PlayAlongScoresAReplayedKitAgainstTheWithheldDrums)
{
    // Five snare strokes a beat apart at 120 BPM; a hi-hat on another channel is no stroke.
    const QString musica = AmbienteMotor::arquivo(QStringLiteral("junto.mid"));
    ASSERT_TRUE(gravarMidi(musica, 64, {{emTicks({{0, 0x99, 38, 100}, {32, 0x92, 60, 90}, {64, 0x99, 38, 100},
                                                  {128, 0x99, 40, 100}, {192, 0x99, 38, 100}, {256, 0x99, 38, 100},
                                                  {300, 0x99, 38, 0}}),
                                         {nome("Drums")}}}));
    // Hits 20 ms late plus the calibrated 5 ms on four strokes (the fourth left out), a
    // hit on no stroke, a note-off and a zero-velocity note-on that are no hits. Late
    // from when the song sounds each stroke: the output's 20 ms after its tick was due.
    const QString kit = AmbienteMotor::arquivo(QStringLiteral("kit-atrasado.txt"));
    QFile arquivo(kit);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    const int64_t batida = 499968;  // 64 ticks of 7812 us
    for (int k : {0, 1, 2, 4})
        arquivo.write(QByteArray::number(k * batida + 20000 + 25000) + " 153 38 100\n");
    arquivo.write(QByteArray::number(int64_t(1.5 * batida)) + " 144 49 100\n");
    arquivo.write("600000 137 38 0\n700000 153 38 0\n");
    arquivo.close();
    const QString entradas = QStringLiteral("Kit:") + kit + QStringLiteral(",Broken:") + kit + QStringLiteral(".absent");
    Resultado r = tocar({musica, QStringLiteral("--bpm"), QStringLiteral("120"), QStringLiteral("--play-along"),
                         QStringLiteral("--input"), QStringLiteral("Kit"), QStringLiteral("--latency"), QStringLiteral("5")},
                        entradas);
    ASSERT_EQ(r.codigo, 0) << r.erro.toStdString();
    const qsizetype linha = r.saida.indexOf(QStringLiteral("score: "));
    ASSERT_GE(linha, 0) << r.saida.toStdString();
    const QString pontuacao = r.saida.mid(linha).trimmed();
    EXPECT_TRUE(pontuacao.startsWith(QStringLiteral("score: expected=5 hits=4 ")));
    EXPECT_TRUE(pontuacao.contains(QStringLiteral(" misses=1 extras=1 "))) << pontuacao.toStdString();
    // Nothing of the withheld drums reached the device; the other channel did.
    for (const QList<int> &m : r.capturadas)
        EXPECT_FALSE(m[1] == 0x99 && m[3] > 0) << m[2];
    EXPECT_TRUE(r.capturadas.contains(QList<int>{0, 0x92, 60, 90}));
    // 20 ms late: the replay is timed from when tick 0 was due, the strokes from when they
    // sound, and both are timestamps, not moments the program happened to look.
    EXPECT_NEAR(campo(pontuacao, QStringLiteral("mean_offset_ms=")), 20.0, 0.15) << pontuacao.toStdString();
    EXPECT_TRUE(pontuacao.contains(QStringLiteral(" spread_ms="))) << pontuacao.toStdString();

    // Unknown and refusing input devices.
    r = tocar({musica, QStringLiteral("--input"), QStringLiteral("Nope")}, entradas);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.erro.contains(QStringLiteral("\"Nope\" (no such device"))) << r.erro.toStdString();
    r = tocar({musica, QStringLiteral("--input"), QStringLiteral("Broken")}, entradas);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.erro.contains(QStringLiteral("refused to open"))) << r.erro.toStdString();
    r = tocar({QStringLiteral("--list-inputs")}, entradas);
    EXPECT_EQ(r.codigo, 0);
    EXPECT_TRUE(r.saida.contains(QStringLiteral("  Kit\n"))) << r.saida.toStdString();
    EXPECT_LT(r.saida.indexOf(QStringLiteral("  Kit\n")), r.saida.indexOf(QStringLiteral("  Broken\n")));
    r = tocar({musica, QStringLiteral("--latency"), QStringLiteral("soon")}, entradas);
    EXPECT_EQ(r.codigo, 2);
}

}  // namespace
