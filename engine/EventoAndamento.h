#pragma once

#include "song/EventoSequenciamento.h"

// A tempo change of the song.
class EventoAndamento : public EventoSequenciamento {
public:
    // andamento: beats per minute, -1 when the file gave none.
    EventoAndamento(int32_t tick, int32_t canal, int32_t andamento);

    // Hands the tempo to the sequencer (which ignores values of 0 or less), then
    // reports the tempo in effect to the window.
    void executar() override;

    int32_t getAndamento() const { return andamento; }

private:
    int32_t andamento;
};
