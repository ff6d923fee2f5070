#pragma once

#include "song/EventoSequenciamento.h"

#include <memory>
#include <vector>

// One track of a song: its events in the order they were added.
class Trilha {
public:
    Trilha();
    ~Trilha();
    Trilha(const Trilha &) = delete;
    Trilha &operator=(const Trilha &) = delete;

    // Appends the event; the track owns it from now on.
    void adicionarEvento(std::unique_ptr<EventoSequenciamento> evento);
    // The events whose tick equals the argument, in the order they were added.
    // A cursor remembers where the last call ended, so playing tick after tick
    // costs the events found, whatever the track's length; any other tick (a
    // seek, a loop wrap) is found by binary search.
    std::vector<EventoSequenciamento *> eventosNoTick(int32_t tick);
    int32_t getNumEventos() const { return static_cast<int32_t>(eventos.size()); }
    // The event at that place in adding order (0 .. getNumEventos() - 1).
    EventoSequenciamento *getEvento(int32_t indice) const { return eventos[static_cast<size_t>(indice)].get(); }

    void setCanal(int32_t valor) { canal = valor; }
    // The channel of the track's first note-on; -1 for a track without one.
    int32_t getCanal() const { return canal; }
    void marcarBateria() { bateria = true; }
    // The track holds drum-channel notes below 60.
    bool temBateria() const { return bateria; }

private:
    int32_t tickNaOrdem(size_t posicao) const;
    size_t indiceNaOrdem(size_t posicao) const;
    size_t primeiroAPartirDe(int32_t tick);

    std::vector<std::unique_ptr<EventoSequenciamento>> eventos;  // the track owns its events
    // The ticks of eventos, in the same order (a dense array for the search).
    std::vector<int32_t> ticks;
    // Only for a track added out of tick order: the indexes of eventos sorted by
    // tick, stably, so events of one tick keep their order of adding. Built on
    // the first query after an out-of-order addition.
    std::vector<uint32_t> ordem;
    bool emOrdem = true;
    bool ordemValida = true;
    size_t cursor = 0;  // position (in tick order) of the first event after the last tick answered
    std::vector<EventoSequenciamento *> eventosDoTick;  // scratch list, storage kept between calls
    int32_t canal = -1;
    bool bateria = false;
};
