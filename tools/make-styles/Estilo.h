#pragma once

#include <QList>
#include <QString>

// One rhythm style as its text source describes it, before it becomes MIDI.
struct Estilo {
    struct Nota {
        int compasso = 0;     // bar index in the form
        int passo = 0;        // step within the bar
        int duracao = 1;      // in steps (drums: 0 = until the next hit of the same note)
        int nota = 0;         // MIDI note number
        int velocidade = 0;   // 1..127
    };
    struct Trilha {
        QString nome;
        int canal = 0;        // 0..15
        int programa = -1;    // General MIDI program, -1 for none
        int volume = 100;
        int pan = 64;
        QList<Nota> notas;
    };

    QString nome;
    int andamento = 120;      // quarter notes per minute
    int numerador = 4;
    int denominador = 4;
    int passos = 16;          // grid steps per bar
    int swing = 0;            // percent of a step that the off-beat steps are late
    int humanizar = 0;        // velocity spread
    int compassos = 0;        // bars in the form
    QList<Trilha> trilhas;    // drums first
};
