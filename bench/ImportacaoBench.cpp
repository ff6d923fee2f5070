// Import of a 1,000,000-event Standard MIDI File: events per second and peak
// memory per event (reader buffers and song model together).
#include "MotorBench.h"

#include "engine/SaidaMIDI.h"
#include "song/GerenciadorMusica.h"

#include <QTemporaryDir>

int main(int argc, char **argv)
{
    motorbench::ProcessoImportacao processo(argc, argv);
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("milhao.mid"));

    // 4 tracks of 250,000 events: drums with releases, bass, keys and controllers.
    constexpr int porTrilha = 250000;
    constexpr int total = 4 * porTrilha;
    {
        std::vector<motorbench::Trilha> trilhas(4);
        trilhas[0].andamentos.push_back({0, 500000});
        for (int t = 0; t < 4; ++t) {
            auto &r = trilhas[size_t(t)].registros;
            r.reserve(porTrilha);
            for (int k = 0; k < porTrilha; ++k) {
                const bool ligar = k % 2 == 0;
                switch (t) {
                case 0: r.push_back({ligar ? 60u : 0u, 0xB0, 7, uint8_t(k % 128)}); break;
                case 1: r.push_back({ligar ? 24u : 24u, 0x99, uint8_t(35 + (k / 2) % 25), uint8_t(ligar ? 100 : 0)}); break;
                case 2: r.push_back({ligar ? 40u : 80u, 0x92, uint8_t(36 + (k / 2) % 24), uint8_t(ligar ? 90 : 0)}); break;
                default: r.push_back({ligar ? 30u : 90u, 0x83, uint8_t(60 + (k / 2) % 24), uint8_t(ligar ? 0 : 64)}); break;
                }
            }
        }
        if (!motorbench::gravarMidi(caminho, 480, trilhas)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(caminho));
            return 1;
        }
    }

    SaidaMIDI &saida = SaidaMIDI::instancia();
    // Peak memory of the first load, from a settled baseline.
    const bool comPico = motorbench::zerarPico();
    const long antes = motorbench::memoriaKb("VmRSS");
    const double inicio = motorbench::agoraMicros();
    saida.carregarArquivo(caminho);
    const double primeira = motorbench::agoraMicros() - inicio;
    const long pico = motorbench::memoriaKb("VmHWM");
    const long depois = motorbench::memoriaKb("VmRSS");

    std::vector<double> segundos{primeira / 1e6};
    for (int r = 0; r < 4; ++r) {
        const double t0 = motorbench::agoraMicros();
        saida.carregarArquivo(caminho);
        segundos.push_back((motorbench::agoraMicros() - t0) / 1e6);
    }
    int64_t eventos = 0;
    Musica *musica = GerenciadorMusica::instancia().getMusica();
    for (int t = 0; t < musica->getNumTrilhas(); ++t)
        eventos += musica->getTrilha(t)->getNumEventos();
    const double mediana = motorbench::quantil(segundos, 0.5);
    std::printf("import of %d file events (%lld song events, 4 tracks): median %.3f s over %zu loads, %.2f M events/s\n", total,
                static_cast<long long>(eventos), mediana, segundos.size(), total / mediana / 1e6);
    if (comPico)
        std::printf("peak memory of the first load: %.1f bytes per event (peak %ld kB over a %ld kB baseline); "
                    "the song kept: %.1f bytes per event\n",
                    (pico - antes) * 1024.0 / total, pico, antes, (depois - antes) * 1024.0 / total);
    else
        std::printf("peak memory: /proc/self/clear_refs not writable, resident growth %.1f bytes per event\n",
                    (depois - antes) * 1024.0 / total);
    return 0;
}
