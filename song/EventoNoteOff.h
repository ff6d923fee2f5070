#pragma once

#include "song/EventoSequenciamento.h"

// A note release, sent as a note-on of velocity 0.
class EventoNoteOff : public EventoSequenciamento {
public:
    EventoNoteOff(int32_t tick, int32_t canal, int32_t nota);

    // The drum channel is never transposed.
    void transpor(int32_t semitons) override;
    // Sends 0x90 + canal, nota, 0.
    void executar() override;

    int32_t getNota() const { return nota; }

private:
    int32_t nota;
};
