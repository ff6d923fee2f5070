// Under Xvfb: a dense style at 240 BPM plays with the kit animating; for every
// beat of the clock (one engine tick), the GUI thread's lateness: the time from
// the beat's due time (as the beat carries it) to the start and to the end of its
// handler. Run: xvfb-run -a bench/bench_JanelaBatidas

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
    bancada::gravarMidi(arquivo, trilhas, 0);  // no tempo event: the song's own tempo is 120

    Sequenciador &sequenciador = Sequenciador::instancia();

    std::vector<double> inicios;
    std::vector<double> fins;
    inicios.reserve(8192);
    fins.reserve(8192);
    TSonoMidiSync *relogio = sequenciador.getSincronizador();
    const TNotifyEvent original = relogio->OnMidiBeat;
    relogio->OnMidiBeat = [&](QObject *emissor) {
        const int64_t comeco = bancada::agoraMicros();
        original(emissor);
        if (relogio->IsRunning()) {
            inicios.push_back(double(comeco - relogio->BeatDueTime()));
            fins.push_back(double(bancada::agoraMicros() - relogio->BeatDueTime()));
        }
    };

    // Opening a song puts its own speed back, so the slider moves after it, as a user's
    // drag would: 240 is twice the song's speed.
    j.abrirMusica(arquivo);
    j.tkbBPM->setValue(240);
    const int32_t bpm = sequenciador.getAndamento();
    const int64_t tickMicros = 937500 / bpm;
    QTimer::singleShot(14000, &aplicacao, &QCoreApplication::quit);
    QApplication::exec();
    relogio->OnMidiBeat = original;

    // The first second warms the caches and the synth up.
    const size_t aquecimento = std::min(fins.size(), size_t(1000000 / tickMicros));
    inicios.erase(inicios.begin(), inicios.begin() + long(aquecimento));
    fins.erase(fins.begin(), fins.begin() + long(aquecimento));
    double carga = -1;
    if (FILE *f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &carga) != 1)
            carga = -1;
        std::fclose(f);
    }
    std::printf("%d BPM, %lld us per tick, 4 dense tracks, kit animating, %zu beats measured, load average %.2f\n",
                int(bpm), static_cast<long long>(tickMicros), fins.size(), carga);
    bancada::relatar("beat due time to start of its handler (GUI lateness)", inicios, "us");
    bancada::relatar("beat due time to end of its handler", fins, "us");
    return 0;
}
