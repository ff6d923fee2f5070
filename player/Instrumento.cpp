#include "player/Instrumento.h"

#include <QLabel>

Instrumento::Instrumento(QLabel *fundo) : fundo(fundo) {}

Instrumento::~Instrumento()
{
    if (fundo) {
        fundo->hide();
        fundo->setGeometry(0, 0, 15, 15);
    }
}

void Instrumento::mostrarNota(uint32_t) {}

void Instrumento::esconderNota(uint32_t) {}

void Instrumento::esconderTudo() {}

void Instrumento::desmontar() {}
