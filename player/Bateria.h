#pragma once

#include "kit/TabelaBateria.h"
#include "player/Instrumento.h"

#include <QPointer>

#include <array>
#include <cstdint>

class QLabel;

// The drum kit: lights drums and cymbals by showing and hiding the pictures of
// the player window. The window is the top-level widget named "FormPrincipal";
// its panel "pnInstrumento" holds, as direct children, the QLabels named after
// the rows of tabelaBateria (PecasBateria::criar makes them). Construct the kit
// only after those exist; a picture that is missing is left out, not an error.
class Bateria : public Instrumento {
public:
    // Places the kit panel and its background and fills the picture table.
    Bateria();
    // Takes the drumsticks out of the kit panel, then hides the background.
    ~Bateria() override;

    // Shows or restores the pictures of one General MIDI percussion note (35..59);
    // any other note, and 39, 56 and 58, change nothing.
    void mostrarNota(uint32_t nota) override;
    void esconderNota(uint32_t nota) override;
    // Hides every stick, foot, drum and cymbal; the background stays.
    void esconderTudo() override;
    // Takes the drumsticks out of the kit panel and collapses the drums and
    // cymbals to 15 x 15 at the panel's corner.
    void desmontar() override;

private:
    void tirarBaquetas();

    // Not owned: pictures of the player window, by slot; 0 and 17 stay empty.
    std::array<QPointer<QLabel>, numSlotsBateria> imagens;
};
