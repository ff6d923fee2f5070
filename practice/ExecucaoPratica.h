#pragma once

#include "engine/ResultadoAvaliacao.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

// One scored Play Along run as the practice history keeps it: the score and
// what it was a score of (which song, which section, at what speed, when).
struct ExecucaoPratica {
    qint64 id = 0;           // row number in the history; 0 before it is saved
    QDateTime quando;        // when the run ended
    QString arquivo;         // the song's file name, without its folder
    QString hash;            // SHA-256 of the file's contents, so a moved or renamed copy keeps its history
    int32_t loopInicio = -1; // the repeated section in engine ticks; -1 and -1 for the whole song
    int32_t loopFim = -1;
    double velocidade = 1.0; // playback speed factor, 1.0 is 100 %
    qint64 duracaoMs = 0;    // how long the run took, for the practice time
    ResultadoAvaliacao resultado;

    bool temLoop() const { return loopInicio >= 0 && loopFim > loopInicio; }
};
