#pragma once

#include <cstdint>
#include <vector>

// Latency calibration: 16 clicks at 100 BPM, the drummer strikes with each; the median
// offset of the strokes on the last 12 clicks, from when each click sounded, is the
// latency of kit, ears and sound together, which scoring then takes off every hit.
// Times are us of CLOCK_MONOTONIC.
class Calibracao {
public:
    static constexpr int numCliques = 16;
    static constexpr int considerados = 12;  // the first clicks only set the pulse
    static constexpr int minimoBatidas = 8;
    static constexpr int64_t intervaloUs = 600000;  // 100 BPM

    struct Resultado {
        int batidas = 0;  // clicks of the last 12 that got a stroke
        bool valido = false;  // at least minimoBatidas
        double latenciaMs = 0;
        double dispersaoMs = 0;  // standard deviation of those offsets
    };

    // Click k (0..15) is due at inicio + k * intervaloUs and sounds latenciaSaida later,
    // as a song's stroke due then does.
    void iniciar(int64_t inicio, int64_t latenciaSaida = 0);
    int64_t devidoDoClique(int k) const { return inicio + int64_t(k) * intervaloUs; }
    // When click k sounds.
    int64_t instanteDoClique(int k) const;
    // Click k really sounds at instante (the output sends a click at once when its time
    // has passed).
    void marcarClique(int k, int64_t instante);
    // When the last click's strokes can no longer come.
    int64_t fim() const { return instanteDoClique(numCliques - 1) + intervaloUs / 2; }
    void registrarBatida(int64_t instante);
    // Each of the last 12 clicks takes the nearest stroke within half an interval.
    Resultado resultado() const;

private:
    int64_t inicio = 0;
    int64_t latenciaSaida = 0;
    std::vector<int64_t> cliques;  // when each click sounds; 0 while planned only
    std::vector<int64_t> batidas;
};
