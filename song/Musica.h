#pragma once

#include "song/Trilha.h"

#include <memory>
#include <vector>

// A song: its tracks in file order.
class Musica {
public:
    Musica();
    ~Musica();
    Musica(const Musica &) = delete;
    Musica &operator=(const Musica &) = delete;

    // Appends the track; the song owns it from now on.
    void adicionarTrilha(std::unique_ptr<Trilha> trilha);
    // Throws std::out_of_range ("vector") for an index outside 0 .. count - 1.
    Trilha *getTrilha(int32_t indice) const;
    int32_t getNumTrilhas() const { return static_cast<int32_t>(trilhas.size()); }
    // Trilha::eventosNoTick of the track at indice, with the index test of getTrilha.
    std::vector<EventoSequenciamento *> eventosNoTick(int32_t tick, int32_t indice);

    // The song's time signature (its first Set Time Signature; 4/4 without one):
    // beats per bar, and the note value of a beat (4 a quarter, 8 an eighth).
    void setCompasso(int32_t numerador, int32_t denominador);
    int32_t getNumeradorCompasso() const { return numeradorCompasso; }
    int32_t getDenominadorCompasso() const { return denominadorCompasso; }

private:
    std::vector<std::unique_ptr<Trilha>> trilhas;  // the song owns its tracks
    int32_t numeradorCompasso = 4;
    int32_t denominadorCompasso = 4;
};
