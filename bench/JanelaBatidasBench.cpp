// Under Xvfb: a dense style at 240 BPM plays with the kit animating; for every
// beat of the clock (one engine tick), the time from its due time on the
// clock's grid to the end of its handler. Run: xvfb-run -a bench/bench_JanelaBatidas

#include "BancadaJanela.h"

#include "engine/Sequenciador.h"
#include "sonomidi/TSonoMidiSync.h"

#include <QApplication>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char **argv)
{
    qputenv("SNMIDI32_AUDIO", "null");
    QApplication aplicacao(argc, argv);
    bancada::Janela janela(0);
    TFormPrincipal &j = *janela.principal;

    // Hi-hat in 32nd notes, kick and snare in 8ths, toms and cymbals in quarters: 64 beats.
    std::vector<std::vector<bancada::Evento>> trilhas(4);
    for (uint32_t tick = 0; tick < 64 * 64; tick += 8) {
        trilhas[0].push_back({tick, 0x99, 42, 90});
        trilhas[0].push_back({tick + 4, 0x99, 42, 0});
    }
    for (uint32_t tick = 0; tick < 64 * 64; tick += 32) {
        trilhas[1].push_back({tick, 0x99, uint8_t((tick / 32) % 2 ? 38 : 36), 110});
        trilhas[1].push_back({tick + 8, 0x99, uint8_t((tick / 32) % 2 ? 38 : 36), 0});
    }
    const uint8_t pecas[] = {48, 45, 43, 41, 49, 51, 57, 59, 55, 37};
    for (uint32_t tick = 0, k = 0; tick < 64 * 64; tick += 64, ++k) {
        trilhas[2].push_back({tick, 0x99, pecas[k % 10], 100});
        trilhas[2].push_back({tick + 16, 0x99, pecas[k % 10], 0});
    }
    for (uint32_t tick = 0; tick < 64 * 64; tick += 16) {
        trilhas[3].push_back({tick, 0x92, 40, 80});
        trilhas[3].push_back({tick + 12, 0x92, 40, 0});
    }
    QTemporaryDir pasta;
    const QString arquivo = pasta.filePath(QStringLiteral("densa.mid"));
    bancada::gravarMidi(arquivo, trilhas, 0);  // no tempo event: the slider's 240 holds

    Sequenciador &sequenciador = Sequenciador::instancia();
    j.tkbBPM->setEnabled(true);
    j.tkbBPM->setValue(240);
    const int64_t tickMicros = 937500 / 240;

    std::vector<int64_t> fins;
    fins.reserve(8192);
    TSonoMidiSync *relogio = sequenciador.getSincronizador();
    const TNotifyEvent original = relogio->OnMidiBeat;
    relogio->OnMidiBeat = [&](QObject *emissor) {
        original(emissor);
        if (relogio->IsRunning())
            fins.push_back(bancada::agoraMicros());
    };

    j.abrirMusica(arquivo);
    // The clock started at the end of the opening; beat k is due (k + 1) ticks later.
    const int64_t inicio = bancada::agoraMicros();
    QTimer::singleShot(14000, &aplicacao, &QCoreApplication::quit);
    QApplication::exec();
    relogio->OnMidiBeat = original;

    std::vector<double> atrasos;
    for (size_t k = 0; k < fins.size(); ++k)
        atrasos.push_back(double(fins[k] - (inicio + int64_t(k + 1) * tickMicros)));
    // The first second warms the caches and the synth up.
    const size_t aquecimento = std::min(atrasos.size(), size_t(1000000 / tickMicros));
    atrasos.erase(atrasos.begin(), atrasos.begin() + long(aquecimento));
    std::printf("240 BPM, %lld us per tick, 4 dense tracks, kit animating, %zu beats measured\n",
                static_cast<long long>(tickMicros), atrasos.size());
    bancada::relatar("beat due time to end of its handler", atrasos, "us");
    return 0;
}
