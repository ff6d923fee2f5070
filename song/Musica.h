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

private:
    std::vector<std::unique_ptr<Trilha>> trilhas;  // the song owns its tracks
};
