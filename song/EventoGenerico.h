#pragma once

#include "song/EventoSequenciamento.h"

// Any other channel message, sent with the status byte it was read with.
class EventoGenerico : public EventoSequenciamento {
public:
    // The status comes before the channel; the channel is kept only for the
    // sequencer's drum test and is not added to the status again.
    EventoGenerico(int32_t tick, int32_t status, int32_t canal, int32_t dado1, int32_t dado2);

    // Sends status, dado1, dado2 unchanged.
    void executar() override;

    int32_t getStatus() const { return status; }
    int32_t getDado1() const { return dado1; }
    int32_t getDado2() const { return dado2; }

private:
    int32_t status;
    int32_t dado1;
    int32_t dado2;
};
