// How soon a Cancel stops the import of a 26,000,000-event Standard MIDI File
// (100 MB) when it comes during the library's read of the score, and how long
// each stage of a whole import takes (the read, then the conversion).
#include "MotorBench.h"

#include "engine/SaidaMIDI.h"
#include "sonomidi/ESonoMidiException.h"

#include <QTemporaryDir>

#include <thread>

int main(int argc, char **argv)
{
    motorbench::ProcessoImportacao processo(argc, argv);
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("enorme.mid"));

    // 16 drum tracks of 1,625,000 strokes and releases.
    constexpr int trilhas = 16;
    constexpr int porTrilha = 1'625'000;
    constexpr int64_t total = int64_t(trilhas) * porTrilha;
    {
        std::vector<motorbench::Trilha> arquivo(trilhas);
        for (auto &trilha : arquivo) {
            trilha.registros.reserve(porTrilha);
            for (int k = 0; k < porTrilha; ++k)
                trilha.registros.push_back({k % 2 ? 0u : 12u, 0x99, uint8_t(35 + (k / 2) % 25), uint8_t(k % 2 ? 0 : 100)});
        }
        if (!motorbench::gravarMidi(caminho, 480, arquivo)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(caminho));
            return 1;
        }
    }
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.prepararCarga();
    const long memoriaAntes = motorbench::memoriaKb("VmRSS");

    // A whole import, stage by stage: the read (the file's opening included) ends when
    // the conversion reports.
    {
        SaidaMIDI::ProgressoLeitura progresso;
        const double inicio = motorbench::agoraMicros();
        std::thread leitor([&] { saida.lerMusica(caminho, &progresso); });
        while (progresso.milesimos.load() != -1)  // the file opened, the read begins
            std::this_thread::yield();
        while (progresso.milesimos.load() < 0)
            std::this_thread::yield();
        const double fimLeitura = motorbench::agoraMicros();
        leitor.join();
        const double fim = motorbench::agoraMicros();
        std::printf("import of %lld events: read %.2f s, conversion %.2f s\n", static_cast<long long>(total),
                    (fimLeitura - inicio) / 1e6, (fim - fimLeitura) / 1e6);
    }

    // Cancel a third of the way into the read: time until lerMusica gives up.
    std::vector<double> atrasos;
    int lidasNaLeitura = 0;
    for (int r = 0; r < 7; ++r) {
        SaidaMIDI::ProgressoLeitura progresso;
        bool cancelada = false;
        std::thread leitor([&] {
            try {
                saida.lerMusica(caminho, &progresso);
            } catch (const ESonoMidiException &) {
                cancelada = true;
            }
        });
        while (progresso.lidos.load() < total / 3)
            std::this_thread::yield();
        lidasNaLeitura += progresso.milesimos.load() < 0;
        const double pedido = motorbench::agoraMicros();
        progresso.cancelar.store(true);
        leitor.join();
        atrasos.push_back((motorbench::agoraMicros() - pedido) / 1e3);
        if (!cancelada) {
            std::fprintf(stderr, "the import was not cancelled\n");
            return 1;
        }
    }
    std::printf("cancel during the read (%d of %zu runs still reading when asked), %lld events: median %.2f ms, p99 %.2f ms\n",
                lidasNaLeitura, atrasos.size(), static_cast<long long>(total), motorbench::quantil(atrasos, 0.5),
                motorbench::quantil(atrasos, 0.99));
    std::printf("resident memory: %ld MB before the first import, %ld MB after the cancelled ones\n", memoriaAntes / 1024,
                motorbench::memoriaKb("VmRSS") / 1024);
    return 0;
}
