// tamborly-play FILE.mid [--bpm N] [--speed PERCENT] [--count-in] [--metronome] [--device N] [--list-devices]
//               [--play-along] [--input NAME] [--latency MS] [--list-inputs] [--volume PERCENT]
//               | --history FILE.mid
// Plays a Standard MIDI File on the player's own engine, without a window.

#include "HistoricoTerminal.h"
#include "TocadorTerminal.h"

#include "engine/EntradaMIDI.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/ArquivoRegular.h"
#include "platform/CapacidadesDispositivo.h"
#include "platform/NomeArquivo.h"
#include "sonomidi/ESonoMidiException.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::atomic<bool> interrompido{false};

void aoSinal(int)
{
    interrompido = true;
}

int uso()
{
    std::fprintf(stderr,
                 "usage: tamborly-play FILE.mid [--bpm N] [--speed PERCENT] [--count-in] [--metronome] [--device N]\n"
                 "                            [--volume PERCENT] [--list-devices]\n"
                 "       tamborly-play --history FILE.mid\n"
                 "       options: [--play-along] [--input NAME] [--latency MS] [--list-inputs] [--no-history]\n"
                 "  --bpm N        tempo to start with (1..2000); a Set Tempo in the file takes over when it plays\n"
                 "  --speed PERCENT  play at this share of the song's own tempo (25..200; every tempo change keeps it)\n"
                 "  --count-in     one bar of wood-block clicks before the song starts\n"
                 "  --metronome    a wood-block click on every beat, the first of each bar accented\n"
                 "  --device N     MIDI output device number (default 0, the built-in synthesizer)\n"
                 "  --volume PERCENT master volume, 0..100 (default 100); the song's channel volumes play under it\n"
                 "  --list-devices print the output devices and exit\n"
                 "  --history      print the song's scored runs from the practice history, oldest first\n"
                 "  --no-history   with --play-along, do not keep the run in the practice history\n"
                 "  --play-along   withhold the drums and score the hits of --input; prints a score line\n"
                 "  --input NAME   MIDI input device (a drum kit) to read, started when the song's tick 0 is due\n"
                 "  --latency MS   milliseconds taken off every hit before it is scored (-1000..1000)\n"
                 "  --list-inputs  print the input devices and exit\n");
    return 2;
}

bool numero(const QString &texto, int minimo, int maximo, int &valor)
{
    bool certo = false;
    valor = texto.toInt(&certo);
    return certo && valor >= minimo && valor <= maximo;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // From argv itself: a file name is bytes, and QCoreApplication::arguments()
    // would keep only a replacement character of a byte that is not UTF-8.
    QStringList argumentos;
    for (int i = 1; i < argc; ++i)
        argumentos.append(QFile::decodeName(argv[i]));
    QString arquivo;
    int bpm = 0;
    int dispositivo = -1;
    int volume = 100;
    bool listar = false;
    bool historico = false;
    bool semHistorico = false;
    int velocidade = 100;
    bool contagem = false;
    bool metronomo = false;
    // Play Along and the kit.
    bool playAlong = false;
    bool listarEntradas = false;
    QString entrada;
    double latenciaMs = 0;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString &a = argumentos[i];
        if (a == QLatin1String("--bpm") && i + 1 < argumentos.size()) {
            if (!numero(argumentos[++i], 1, 2000, bpm))
                return uso();
        } else if (a == QLatin1String("--device") && i + 1 < argumentos.size()) {
            if (!numero(argumentos[++i], 0, 65535, dispositivo))
                return uso();
        } else if (a == QLatin1String("--speed") && i + 1 < argumentos.size()) {
            if (!numero(argumentos[++i], 25, 200, velocidade))
                return uso();
        } else if (a == QLatin1String("--count-in")) {
            contagem = true;
        } else if (a == QLatin1String("--metronome")) {
            metronomo = true;
        } else if (a == QLatin1String("--volume") && i + 1 < argumentos.size()) {
            if (!numero(argumentos[++i], 0, 100, volume))
                return uso();
        } else if (a == QLatin1String("--list-devices")) {
            listar = true;
        } else if (a == QLatin1String("--history")) {
            historico = true;
        } else if (a == QLatin1String("--no-history")) {
            semHistorico = true;
        } else if (a == QLatin1String("--play-along")) {
            playAlong = true;
        } else if (a == QLatin1String("--list-inputs")) {
            listarEntradas = true;
        } else if (a == QLatin1String("--input") && i + 1 < argumentos.size()) {
            entrada = argumentos[++i];
        } else if (a == QLatin1String("--latency") && i + 1 < argumentos.size()) {
            bool certo = false;
            latenciaMs = argumentos[++i].toDouble(&certo);
            if (!certo || latenciaMs < -1000 || latenciaMs > 1000)
                return uso();
        } else if (a.startsWith(QLatin1String("--")) || !arquivo.isEmpty()) {
            return uso();
        } else {
            arquivo = a;
        }
    }
    if (arquivo.isEmpty() && !listar && !listarEntradas)
        return uso();
    if (historico)
        return listar ? uso() : HistoricoTerminal::imprimir(arquivo, stdout, stderr);

    SaidaMIDI *saida = nullptr;
    try {
        saida = &SaidaMIDI::instancia();
    } catch (const ESonoMidiException &e) {
        std::fprintf(stderr, "tamborly-play: %s: libSnMidi32.so must lie beside tamborly-play (%s)\n",
                     qPrintable(e.Message()), qPrintable(QCoreApplication::applicationDirPath()));
        return 1;
    }
    const QStringList dispositivos = saida->listarDispositivos();
    if (listar) {
        for (qsizetype d = 0; d < dispositivos.size(); ++d)
            std::printf("%lld  %s\n", static_cast<long long>(d), qPrintable(dispositivos[d]));
        return 0;
    }
    if (listarEntradas || !entrada.isEmpty()) {
        EntradaMIDI &kit = EntradaMIDI::instancia();
        const QStringList entradas = kit.listarDispositivos();
        if (listarEntradas) {
            for (qsizetype d = 0; d < entradas.size(); ++d)
                std::printf("%lld  %s\n", static_cast<long long>(d), qPrintable(entradas[d]));
            return 0;
        }
        if (!kit.abrirSemIniciar(entrada)) {
            std::fprintf(stderr, "tamborly-play: cannot open MIDI input device \"%s\" (%s; see --list-inputs)\n",
                         qPrintable(entrada), entradas.contains(entrada) ? "it refused to open" : "no such device");
            return 1;
        }
    }
    if (dispositivo >= 0 && !saida->abrirDispositivo(dispositivo)) {
        std::fprintf(stderr, "tamborly-play: cannot open MIDI output device %d (%lld devices; see --list-devices)\n",
                     dispositivo, static_cast<long long>(dispositivos.size()));
        return 1;
    }
    // The built-in synth opens without a soundfont too, and then plays silence: say why.
    if (saida->dispositivoAberto() && saida->getDispositivo() == 0) {
        const QString problema = CapacidadesDispositivo::problemaBiblioteca();
        if (!problema.isEmpty())
            std::fprintf(stderr, "tamborly-play: warning: the built-in synthesizer will be silent: %s "
                                 "(the Debian package fluid-soundfont-gm provides a soundfont)\n", qPrintable(problema));
    }
    if (!saida->dispositivoAberto()) {
        std::fprintf(stderr, "tamborly-play: the MIDI output device %d did not open; try --list-devices and --device N\n",
                     saida->getDispositivo());
        return 1;
    }
    // Each reason in its own words; opened without blocking, so a FIFO is said, not waited for.
    const QByteArray bytes = NomeArquivo::codificar(arquivo);
    ArquivoRegular::Falha falha = ArquivoRegular::Falha::nenhuma;
    const int fd = ArquivoRegular::abrir(arquivo, &falha);
    if (fd >= 0)
        ::close(fd);
    const char *motivo = falha == ArquivoRegular::Falha::inexistente    ? "no such file"
                         : falha == ArquivoRegular::Falha::semPermissao ? "permission denied"
                         : falha == ArquivoRegular::Falha::naoRegular   ? "not a regular file"
                         : falha == ArquivoRegular::Falha::nenhuma      ? nullptr
                                                                         : "cannot be read";
    if (motivo) {
        std::fprintf(stderr, "tamborly-play: %s: %s\n", bytes.constData(), motivo);
        return 1;
    }

    saida->setVolumeGeral(volume);
    HistoricoTerminal historicoPratica;  // outlives the player that writes to it
    TocadorTerminal tocador(stdout);
    tocador.setVelocidade(velocidade);
    Sequenciador::instancia().getMetronomo().setContagem(contagem);
    Sequenciador::instancia().getMetronomo().setLigado(metronomo);
    tocador.setPlayAlong(playAlong, latenciaMs);
    if (playAlong && !semHistorico)
        tocador.setHistorico(&historicoPratica);
    tocador.setEntrada(!entrada.isEmpty());
    QString erro;
    if (!tocador.abrirMusica(arquivo, bpm, erro)) {
        std::fprintf(stderr, "tamborly-play: cannot play %s: %s\n", bytes.constData(), qPrintable(erro));
        return 1;
    }
    std::signal(SIGINT, aoSinal);
    std::signal(SIGTERM, aoSinal);
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (interrompido)
            tocador.interromper();
    });
    vigia.start(100);
    const int codigo = app.exec();
    // The clock and the synth's audio threads stop before the static teardown.
    Sequenciador::instancia().fechar();
    saida->fechar();
    return codigo;
}
