#pragma once

#include "song/Musica.h"

#include <cstdint>
#include <memory>

// Holder of the current song and its length. A single instance, created on
// first use and never destroyed while the program runs.
class GerenciadorMusica {
public:
    static GerenciadorMusica &instancia();

    // Deletes the current song with all its tracks and events, then keeps the new one.
    void setMusica(std::unique_ptr<Musica> nova);
    // The current song, or null before the first load.
    Musica *getMusica() const { return musica.get(); }

    // Song length: the largest event tick of the import.
    void setTotalTicks(int32_t valor) { totalTicks = valor; }
    int32_t getTotalTicks() const { return totalTicks; }
    // Song length in beats: totalTicks / 64 + 1.
    void setTotalTempos(int32_t valor) { totalTempos = valor; }
    int32_t getTotalTempos() const { return totalTempos; }

    // Silences what one track may be sounding: the whole device for a song of
    // fewer than two tracks, else a release of all 128 notes on the track's
    // channel. Nothing without a current song or for a track without a channel.
    void silenciarTrilha(int32_t indice);

private:
    GerenciadorMusica() = default;

    int32_t totalTicks = 0;
    int32_t totalTempos = 0;
    std::unique_ptr<Musica> musica;  // owned; empty until the first load
};
