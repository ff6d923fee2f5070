#pragma once

#include <cstdint>

class Musica;

// Count-in and metronome clicks: General MIDI wood blocks on the drum channel,
// sent straight to the output. They are not events of the song, so play-along
// never withholds them, the kit never shows them and scoring never sees them.
class Metronomo {
public:
    static constexpr int32_t notaAcento = 76;  // Hi Wood Block: the first beat of a bar
    static constexpr int32_t notaBatida = 77;  // Low Wood Block: the other beats

    // A click on every beat of the song while it plays.
    void setLigado(bool valor) { ligado = valor; }
    bool getLigado() const { return ligado; }
    // One bar of clicks before playback starts from a stop or from the loop's start.
    void setContagem(bool valor) { contagem = valor; }
    bool getContagem() const { return contagem; }
    // Loudness of the clicks in percent (0..100; 0 is silent), apart from the master volume.
    void setVolume(int32_t percentual);
    int32_t getVolume() const { return volume; }

    // Engine ticks of one beat and of one bar in the song's time signature (4/4 without a song).
    static int32_t ticksPorBatida(const Musica *musica);
    static int32_t ticksPorCompasso(const Musica *musica);

    // Begins one bar of count-in when count-in is on; whether it began.
    bool iniciarContagem(const Musica *musica);
    void cancelarContagem() { contagemRestante = 0; }
    bool emContagem() const { return contagemRestante > 0; }
    // Plays one tick of the count-in (a click when it falls on a beat). The song's
    // first tick comes one beat after the last click.
    void contarTick(const Musica *musica);
    // The click of song tick posicao, when the metronome is on and the tick is a beat.
    void clicar(const Musica *musica, int32_t posicao);

private:
    void tocarClique(bool acento);

    bool ligado = false;
    bool contagem = false;
    int32_t volume = 80;
    int32_t contagemTotal = 0;
    int32_t contagemRestante = 0;  // ticks of count-in still to play
};
