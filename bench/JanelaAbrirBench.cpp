// Opening a 10 MB MIDI file: from the confirmed dialog (abrirMusica is what the
// dialog's confirmation runs) to playing, with the import on the GUI thread.

#include "BancadaJanela.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    qputenv("SNMIDI32_AUDIO", "null");
    QApplication aplicacao(argc, argv);
    bancada::Janela janela(0);

    // 16 tracks of notes, 4 bytes per event: about 10 MB.
    std::vector<std::vector<bancada::Evento>> trilhas(16);
    const uint32_t porTrilha = 10 * 1024 * 1024 / 4 / 16;
    for (size_t t = 0; t < trilhas.size(); ++t) {
        const uint8_t canal = t < 4 ? 9 : uint8_t(t % 9);
        for (uint32_t k = 0; k < porTrilha / 2; ++k) {
            const uint8_t nota = uint8_t(t < 4 ? 35 + (k % 25) : 40 + (k % 40));
            trilhas[t].push_back({k * 8, uint8_t(0x90 | canal), nota, 100});
            trilhas[t].push_back({k * 8 + 4, uint8_t(0x90 | canal), nota, 0});
        }
    }
    QTemporaryDir pasta;
    const QString arquivo = pasta.filePath(QStringLiteral("grande.mid"));
    bancada::gravarMidi(arquivo, trilhas, 500000);
    std::printf("file: %.1f MB, %u events per track, 16 tracks\n", double(QFileInfo(arquivo).size()) / 1e6,
                porTrilha);

    std::vector<double> tempos;
    for (int vez = 0; vez < 6; ++vez) {
        const int64_t antes = bancada::agoraMicros();
        janela.principal->abrirMusica(arquivo);
        const int64_t depois = bancada::agoraMicros();
        if (janela.principal->getEstado() != TFormPrincipal::tocando) {
            std::printf("the file did not open\n");
            return 1;
        }
        if (vez > 0)  // the first run warms the allocator and the file cache
            tempos.push_back(double(depois - antes) / 1000.0);
        janela.principal->pararMusica();
        QCoreApplication::processEvents();
    }
    bancada::relatar("confirmed dialog to playing", tempos, "ms");

    // Baseline: the import alone, which the opening runs on the GUI thread.
    std::vector<double> importacao;
    for (int vez = 0; vez < 5; ++vez) {
        const int64_t antes = bancada::agoraMicros();
        SaidaMIDI::instancia().carregarArquivo(arquivo);
        importacao.push_back(double(bancada::agoraMicros() - antes) / 1000.0);
    }
    bancada::relatar("baseline: SaidaMIDI::carregarArquivo alone", importacao, "ms");
    return 0;
}
