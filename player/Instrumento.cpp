#include "player/Instrumento.h"

#include <QCoreApplication>
#include <QLabel>

Instrumento::Instrumento(QLabel *fundo) : fundo(fundo) {}

Instrumento::~Instrumento()
{
    if (fundo && podeMexerNasImagens()) {
        fundo->hide();
        fundo->setGeometry(0, 0, 15, 15);
    }
}

bool Instrumento::podeMexerNasImagens()
{
    return QCoreApplication::instance() != nullptr;
}

void Instrumento::mostrarNota(uint32_t) {}

void Instrumento::esconderNota(uint32_t) {}

void Instrumento::esconderTudo() {}

void Instrumento::desmontar() {}
