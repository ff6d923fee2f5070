#pragma once

#include "player/Instrumento.h"

#include <QStringList>

// Records every kit call: "+38" shown, "-38" hidden, "limpo", "desmontado".
class InstrumentoGravador : public Instrumento {
public:
    void mostrarNota(uint32_t nota) override { chamadas.append(QStringLiteral("+%1").arg(nota)); }
    void esconderNota(uint32_t nota) override { chamadas.append(QStringLiteral("-%1").arg(nota)); }
    void esconderTudo() override { chamadas.append(QStringLiteral("limpo")); }
    void desmontar() override { chamadas.append(QStringLiteral("desmontado")); }

    QStringList chamadas;
};
