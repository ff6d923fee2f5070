#pragma once

#include "song/EventoSequenciamento.h"

// A note-on of non-zero velocity.
class EventoNoteOn : public EventoSequenciamento {
public:
    EventoNoteOn(int32_t tick, int32_t canal, int32_t nota, int32_t velocidade);

    // The drum channel is never transposed: its notes name instruments, not pitches.
    void transpor(int32_t semitons) override;
    // Sends 0x90 + canal, nota, velocidade.
    void executar() override;

    int32_t getNota() const { return nota; }
    int32_t getVelocidade() const { return velocidade; }

private:
    int32_t nota;
    int32_t velocidade;
};
