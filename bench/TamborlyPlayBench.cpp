// Plays a 240 BPM groove for 30 s through tamborly-play with the capture file
// on, and measures how far each drum note-on lands from the ideal grid of the
// engine (one tick = floor(937500 / 240) = 3906 us). The grid's origin is the
// median offset of all note-ons, so a constant start-up delay does not count.
#include "MotorBench.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    motorbench::usarPastaConstruida();
    QTemporaryDir pasta;
    const QString groove = pasta.filePath(QStringLiteral("groove240.mid"));
    const QString captura = pasta.filePath(QStringLiteral("captura.txt"));

    // 120 beats of 16th hi-hats, kick on 1 and 3, snare on 2 and 4; releases 8 ticks later.
    // Engine ticks: resolution 64 maps file ticks one to one.
    std::vector<int64_t> esperados;  // tick of every note-on, in sending order
    motorbench::Trilha bateria;
    bateria.nome = "Drums";
    bateria.andamentos.push_back({0, 250000});
    uint32_t ultimo = 0;
    const auto registrar = [&](uint32_t tick, uint8_t nota, uint8_t velocidade) {
        bateria.registros.push_back({tick - ultimo, 0x99, nota, velocidade});
        ultimo = tick;
    };
    constexpr int batidas = 120;
    for (int s = 0; s < batidas * 4; ++s) {
        const uint32_t tick = uint32_t(s) * 16;
        registrar(tick, 42, 90);
        esperados.push_back(tick);
        if (s % 4 == 0) {
            registrar(tick, (s / 4) % 2 == 0 ? 36 : 38, 110);
            esperados.push_back(tick);
        }
        registrar(tick + 8, 42, 0);
        if (s % 4 == 0)
            registrar(tick + 8, (s / 4) % 2 == 0 ? 36 : 38, 0);
    }
    if (!motorbench::gravarMidi(groove, 64, {bateria})) {
        std::fprintf(stderr, "cannot write the groove\n");
        return 1;
    }

    QProcess tocador;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("SNMIDI32_CAPTURE"), captura);
    if (!ambiente.contains(QStringLiteral("SNMIDI32_AUDIO")))
        ambiente.insert(QStringLiteral("SNMIDI32_AUDIO"), QStringLiteral("null"));
    tocador.setProcessEnvironment(ambiente);
    tocador.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tocador.start(QStringLiteral(TAMBORLY_BUILD_APP_DIR "/tamborly-play"), {groove, QStringLiteral("--bpm"), QStringLiteral("240")});
    if (!tocador.waitForFinished(120000) || tocador.exitCode() != 0) {
        std::fprintf(stderr, "tamborly-play failed (exit %d)\n", tocador.exitCode());
        return 1;
    }

    QFile arquivo(captura);
    if (!arquivo.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no capture file\n");
        return 1;
    }
    // The first field is when the message was put, the sixth (when present) when it is to sound.
    std::vector<double> postos;
    std::vector<double> devidos;
    for (const QByteArray &linha : arquivo.readAll().split('\n')) {
        const QList<QByteArray> campos = linha.split(' ');
        if ((campos.size() == 5 || campos.size() == 6) && campos[2].toInt() == 0x99 && campos[4].toInt() > 0) {
            postos.push_back(campos[0].toDouble());
            devidos.push_back(campos.size() == 6 ? campos[5].toDouble() : campos[0].toDouble());
        }
    }
    if (postos.size() != esperados.size()) {
        std::fprintf(stderr, "expected %zu note-ons, captured %zu\n", esperados.size(), postos.size());
        return 1;
    }
    if (argc > 1) {  // keep the capture for a closer look
        QFile::remove(QString::fromLocal8Bit(argv[1]));
        QFile::copy(captura, QString::fromLocal8Bit(argv[1]));
    }
    constexpr double tickMicros = 3906.0;
    const auto relatar = [&](const char *qual, const std::vector<double> &momentos) {
        std::vector<double> desvios;
        for (size_t i = 0; i < momentos.size(); ++i)
            desvios.push_back(momentos[i] - double(esperados[i]) * tickMicros);
        const double origem = motorbench::quantil(desvios, 0.5);
        std::vector<double> absolutos;
        for (double d : desvios)
            absolutos.push_back(std::fabs(d - origem));
        std::printf("tamborly-play, 240 BPM groove, %.1f s, %zu note-ons, %s: deviation from the grid median %.0f us, "
                    "p99 %.0f us, max %.0f us\n",
                    (momentos.back() - momentos.front()) / 1e6, momentos.size(), qual, motorbench::quantil(absolutos, 0.5),
                    motorbench::quantil(absolutos, 0.99), motorbench::quantil(absolutos, 1.0));
    };
    relatar("when put", postos);
    relatar("when due to sound", devidos);
    return 0;
}
