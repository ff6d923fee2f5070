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
    // The list is not assumed sorted: every call scans the whole track.
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
    std::vector<std::unique_ptr<EventoSequenciamento>> eventos;  // the track owns its events
    // The ticks of eventos, in the same order: the per-tick scan reads this dense
    // array instead of chasing a pointer per event.
    std::vector<int32_t> ticks;
    std::vector<EventoSequenciamento *> eventosDoTick;  // scratch list, storage kept between calls
    int32_t canal = -1;
    bool bateria = false;
};
