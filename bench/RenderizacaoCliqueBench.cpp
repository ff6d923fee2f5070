// A 240 BPM click (80 side-stick strokes on eighths) rendered to WAV twice: by tamborly-play
// through the built-in synth (SNMIDI32_AUDIO=file:, rendered in real time), and by FluidSynth's
// own command-line player offline at 44.1 kHz with the same soundfont, whose 64-frame block is
// the floor. Each stroke's onset is found in the audio and compared with an even grid fitted to
// all onsets: p50/p99/max deviation. Both are run on the machine as it is, then again with three
// busy processes spinning on the CPUs.
// Run: bench/bench_RenderizacaoClique [SOUNDFONT [TAMBORLY_PLAY]] (another tamborly-play, with the
// library beside it, to compare builds)
#include "MotorBench.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int taxa = 44100;
constexpr int golpes = 80;

// Onsets (in seconds) of a 16-bit PCM WAV: where the first channel rises above a fifth of the
// file's peak after at least 60 ms below it. Every stroke is the same sound, so the crossing
// sits at the same place in each.
std::vector<double> inicios(const QString &caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = arquivo.readAll();
    // Walk the chunks to "data"; "fmt " gives the channel count.
    int canais = 2;
    qsizetype i = 12;
    qsizetype dados = -1;
    qsizetype tamanho = 0;
    while (i + 8 <= b.size()) {
        const QByteArray id = b.mid(i, 4);
        const auto n = qsizetype(uint8_t(b[i + 4]) | uint8_t(b[i + 5]) << 8 | uint8_t(b[i + 6]) << 16 |
                                 uint32_t(uint8_t(b[i + 7])) << 24);
        if (id == "fmt ")
            canais = uint8_t(b[i + 10]);
        if (id == "data") {
            dados = i + 8;
            tamanho = std::min(n, b.size() - dados);
            break;
        }
        i += 8 + n + (n & 1);
    }
    if (dados < 0 || canais < 1)
        return {};
    const qsizetype quadros = tamanho / (2 * canais);
    auto amostra = [&](qsizetype q) {
        const qsizetype at = dados + q * 2 * canais;
        return std::abs(int(int16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8)));
    };
    int pico = 0;
    for (qsizetype q = 0; q < quadros; ++q)
        pico = std::max(pico, amostra(q));
    std::vector<double> achados;
    qsizetype ultimoAlto = -taxa;
    for (qsizetype q = 0; q < quadros; ++q) {
        if (amostra(q) * 5 < pico)
            continue;
        if (q - ultimoAlto > taxa * 60 / 1000)
            achados.push_back(double(q) / taxa);
        ultimoAlto = q;
    }
    return achados;
}

struct Desvios {
    size_t golpes = 0;
    double p50 = 0, p99 = 0, maximo = 0;  // microseconds
};

// Least-squares line through (k, onset): the even grid; deviations from it. Each onset's k is
// its nearest eighth from the first, so a stroke lost in the audio does not shift the others.
Desvios desviosDaGrade(const std::vector<double> &t)
{
    Desvios d;
    d.golpes = t.size();
    if (t.size() < 3)
        return d;
    constexpr double oitava = 0.125;  // seconds between strokes at 240 BPM
    std::vector<double> indice;
    for (double momento : t)
        indice.push_back(std::round((momento - t[0]) / oitava));
    const double n = double(t.size());
    double sk = 0, st = 0, skk = 0, skt = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const double k = indice[i];
        sk += k;
        st += t[i];
        skk += k * k;
        skt += k * t[i];
    }
    const double passo = (n * skt - sk * st) / (n * skk - sk * sk);
    const double origem = (st - passo * sk) / n;
    std::vector<double> abs;
    for (size_t i = 0; i < t.size(); ++i)
        abs.push_back(std::fabs(t[i] - (origem + passo * indice[i])) * 1e6);
    d.p50 = motorbench::quantil(abs, 0.5);
    d.p99 = motorbench::quantil(abs, 0.99);
    d.maximo = motorbench::quantil(abs, 1.0);
    return d;
}

bool rodar(const QString &programa, const QStringList &argumentos, const QProcessEnvironment &ambiente)
{
    QProcess p;
    p.setProcessEnvironment(ambiente);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(programa, argumentos);
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed (exit %d)\n", qPrintable(programa), p.exitCode());
        return false;
    }
    return true;
}

// Processes that only burn CPU, to stand for a busy desktop; ended by the destructor.
class Ocupados {
public:
    explicit Ocupados(int quantos)
    {
        for (int i = 0; i < quantos; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned long x = 0;
                for (;;)
                    x = x + 1;
            }
            if (pid > 0)
                filhos.push_back(pid);
        }
    }
    ~Ocupados()
    {
        for (pid_t pid : filhos) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    std::vector<pid_t> filhos;
};

void relatar(const char *quem, const char *carga, const Desvios &d)
{
    std::printf("%-34s %-6s %3zu strokes: deviation from the fitted grid p50 %6.0f us, p99 %6.0f us, max %6.0f us\n",
                quem, carga, d.golpes, d.p50, d.p99, d.maximo);
}

double cargaMedia()
{
    double um = -1;
    if (FILE *f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &um) != 1)
            um = -1;
        std::fclose(f);
    }
    return um;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    motorbench::usarPastaConstruida();
    QString fonte = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const char *candidata : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                  "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
        if (fonte.isEmpty() && QFile::exists(QLatin1String(candidata)))
            fonte = QLatin1String(candidata);
    }
    const QString tocador = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(TAMBORLY_BUILD_APP_DIR "/tamborly-play");
    const QString fluidsynth = QStandardPaths::findExecutable(QStringLiteral("fluidsynth"));
    if (fluidsynth.isEmpty()) {
        std::fprintf(stderr, "FluidSynth's command-line player is missing (Debian package fluidsynth)\n");
        return 1;
    }

    QTemporaryDir pasta;
    const QString clique = pasta.filePath(QStringLiteral("clique240.mid"));
    motorbench::Trilha bateria;
    bateria.nome = "Drums";
    bateria.andamentos.push_back({0, 250000});
    uint32_t ultimo = 0;
    for (int k = 0; k < golpes; ++k) {
        const uint32_t tick = uint32_t(k) * 32;  // eighths at 64 ticks per quarter
        bateria.registros.push_back({tick - ultimo, 0x99, 37, 120});
        bateria.registros.push_back({8, 0x99, 37, 0});
        ultimo = tick + 8;
    }
    if (!motorbench::gravarMidi(clique, 64, {bateria})) {
        std::fprintf(stderr, "cannot write the click file\n");
        return 1;
    }
    std::printf("240 BPM, %d side-stick strokes on eighths, soundfont %s, %d Hz\n", golpes, qPrintable(fonte), taxa);

    for (const int ocupados : {0, 3}) {
        Ocupados carga(ocupados);
        const char *nomeCarga = ocupados ? "busy" : "as-is";
        const QString nosso = pasta.filePath(QStringLiteral("tamborly-%1.wav").arg(ocupados));
        const QString deles = pasta.filePath(QStringLiteral("fluidsynth-%1.wav").arg(ocupados));
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("SNMIDI32_AUDIO"), QStringLiteral("file:") + nosso);
        ambiente.insert(QStringLiteral("SNMIDI32_SOUNDFONT"), fonte);
        ambiente.remove(QStringLiteral("SNMIDI32_CAPTURE"));
        const double cargaAntes = cargaMedia();
        if (!rodar(tocador, {clique, QStringLiteral("--bpm"), QStringLiteral("240")},
                   ambiente))
            return 1;
        if (!rodar(fluidsynth, {QStringLiteral("-ni"), QStringLiteral("-q"), QStringLiteral("-r"), QString::number(taxa),
                                QStringLiteral("-T"), QStringLiteral("wav"), QStringLiteral("-O"), QStringLiteral("s16"),
                                QStringLiteral("-F"), deles, fonte, clique},
                   QProcessEnvironment::systemEnvironment()))
            return 1;
        std::printf("-- %s: %d busy processes of ours; load average before %.2f, after %.2f (%ld CPUs)\n", nomeCarga,
                    ocupados, cargaAntes, cargaMedia(), sysconf(_SC_NPROCESSORS_ONLN));
        relatar("tamborly-play (real time, to WAV)", nomeCarga, desviosDaGrade(inicios(nosso)));
        relatar("fluidsynth -F (offline)", nomeCarga, desviosDaGrade(inicios(deles)));
    }
    return 0;
}
