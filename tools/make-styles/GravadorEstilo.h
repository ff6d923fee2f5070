#pragma once

#include "tools/make-styles/Estilo.h"

#include <QString>

class TSonoMidi;

// Writes a style as a Standard MIDI File (format 1, 480 ticks per quarter note)
// through the toolkit's file component: a conductor track with the tempo and the
// time signature, then one track per part.
class GravadorEstilo {
public:
    static constexpr int resolucao = 480;

    static bool gravar(TSonoMidi &sonoMidi, const Estilo &estilo, const QString &arquivo, QString &erro);
};
