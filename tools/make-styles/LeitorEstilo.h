#pragma once

#include "tools/make-styles/Estilo.h"

#include <QString>

// Reads a style's text source:
//   tempo = 100            quarter notes per minute
//   meter = 2/4
//   grid = 8               steps per bar
//   swing = 0              percent of a step the off-beat steps are late
//   humanize = 6           velocity spread (the same on every build)
//   drums = Drums          track names; bass and keys also take a program:
//   bass = Bass, 33        name, General MIDI program (0-127)
//   form = A A B F         bars in order
//   bar A                  then one line per part:
//     kick  X...x...       drums: . rest, g ghost, o soft, x normal, X accent, ! full,
//                           1-9 velocity by tenths; spaces and | are ignored
//     bass  C2 - . G1 ...  one token per step (or per 2, 4... steps when there are
//                           fewer tokens): a note (C4 = 60), - holds, . rests;
//                           a token ending in ! is accented, in ? soft
//     keys  Am7 - . . ...  chords (C, Cm, C7, Cmaj7, Cm7, C6, Cm6, C9, Cdim, Csus4,
//                           C7b9, Cm7b5, C5, C/G...), single notes, or notes joined with +
// "#" starts a comment. Errors name the file and line.
class LeitorEstilo {
public:
    static bool ler(const QString &caminho, Estilo &estilo, QString &erro);
};
