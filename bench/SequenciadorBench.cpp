// processarTick per tick, median and p99, on a typical drum file (4 tracks,
// 5,000 events) and on a dense one (16 tracks, 200,000 events). Messages go to
// a capture-only device with no capture file, so the engine is what is timed.
#include "MotorBench.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "song/EventoGenerico.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"

#include <QCoreApplication>

#include <cstdlib>
#include <random>
#include <string>

namespace {

// n events per track over the song's ticks: drum strokes with their releases on
// track 1, notes elsewhere, in time order as an import makes them.
std::unique_ptr<Musica> musica(int trilhas, int eventosPorTrilha, int ticks)
{
    auto nova = std::make_unique<Musica>();
    std::mt19937 aleatorio(7);
    for (int t = 0; t < trilhas; ++t) {
        auto trilha = std::make_unique<Trilha>();
        const int canal = t == 1 ? 9 : t % 16;
        std::vector<int> momentos(eventosPorTrilha / 2);
        for (int &m : momentos)
            m = int(aleatorio() % uint32_t(ticks - 4));
        std::sort(momentos.begin(), momentos.end());
        for (int m : momentos) {
            const int nota = canal == 9 ? 35 + int(aleatorio() % 25) : 36 + int(aleatorio() % 48);
            if (canal == 9) {
                trilha->adicionarEvento(std::make_unique<EventoNoteOn>(m, 9, nota, 100));
                trilha->adicionarEvento(std::make_unique<EventoNoteOff>(m + 2, 9, nota));
            } else {
                trilha->adicionarEvento(std::make_unique<EventoGenerico>(m, 0x90 + canal, canal, nota, 90));
                trilha->adicionarEvento(std::make_unique<EventoGenerico>(m + 3, 0x90 + canal, canal, nota, 0));
            }
        }
        nova->adicionarTrilha(std::move(trilha));
    }
    return nova;
}

// Plays ticks [inicio, inicio + medidos) of the song (all of it when medidos is 0),
// as often as repeticoes asks after one warm-up pass.
void medir(const char *nome, int trilhas, int eventos, int ticks, int repeticoes, int inicio = 0, int medidos = 0)
{
    GerenciadorMusica::instancia().setMusica(musica(trilhas, eventos / trilhas, ticks));
    GerenciadorMusica::instancia().setTotalTicks(ticks);
    const int fim = medidos > 0 ? inicio + medidos : ticks;
    Sequenciador &sequenciador = Sequenciador::instancia();
    std::vector<double> tempos;
    tempos.reserve(size_t(fim - inicio) * size_t(repeticoes));
    for (int r = 0; r <= repeticoes; ++r) {
        sequenciador.parar();
        sequenciador.setPosicao(inicio);  // a seek: the tracks' cursors are re-seated
        sequenciador.setAndamento(1);  // the clock must run for events to be sent; its beats wait in the queue
        sequenciador.tocar();
        for (int tick = inicio; tick < fim; ++tick) {
            const double inicio = motorbench::agoraMicros();
            sequenciador.processarTick();
            const double fim = motorbench::agoraMicros();
            if (r > 0)  // the first pass warms up
                tempos.push_back(fim - inicio);
        }
        sequenciador.parar();
        QCoreApplication::processEvents();
    }
    GerenciadorMusica::instancia().setMusica(nullptr);
    std::printf("%-34s %2d tracks %8d events %7d ticks: median %.2f us, p99 %.2f us, max %.1f us per tick\n", nome, trilhas,
                eventos, ticks, motorbench::quantil(tempos, 0.5), motorbench::quantil(tempos, 0.99),
                motorbench::quantil(tempos, 1.0));
}

}  // namespace

int main(int argc, char **argv)
{
    setenv("SNMIDI32_AUDIO", "null", 1);
    setenv("SNMIDI32_CAPTURE_DEVICES", "Bench", 1);
    unsetenv("SNMIDI32_CAPTURE");
    QCoreApplication app(argc, argv);
    motorbench::usarPastaConstruida();
    SaidaMIDI &saida = SaidaMIDI::instancia();
    const QStringList dispositivos = saida.listarDispositivos();
    if (!saida.abrirDispositivo(static_cast<int>(dispositivos.lastIndexOf(QStringLiteral("Bench"))))) {
        std::fprintf(stderr, "cannot open the capture-only device\n");
        return 1;
    }
    // A typical drum file: about 2.5 minutes at 120 BPM.
    medir("(a) typical drum file", 4, 5000, 64 * 4 * 80, 5);
    // A dense file: 16 tracks over about 6.5 minutes at 120 BPM.
    medir("(b) dense file", 16, 200000, 64 * 4 * 200, 1);
    // A 100 MB file: 26 million events at the density of (b), over about 29 hours;
    // 51,200 ticks are timed at its start and 51,200 after a seek to its middle.
    // The cost per tick must not grow with the song's length.
    if (argc < 2 || std::string(argv[1]) != "--short") {
        const int ticksLongos = 64 * 4 * 200 * 130;
        medir("(c) 26 M events, from the start", 16, 26000000, ticksLongos, 1, 0, 64 * 4 * 200);
        medir("(c) 26 M events, from the middle", 16, 26000000, ticksLongos, 1, ticksLongos / 2, 64 * 4 * 200);
    }
    return 0;
}
