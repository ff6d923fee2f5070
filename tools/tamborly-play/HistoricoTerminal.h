#pragma once

#include "practice/ExecucaoPratica.h"

#include <QString>

#include <cstdio>

// The practice history as tamborly-play shows it: one line per run.
class HistoricoTerminal {
public:
    // Prints every run of the song in this file, oldest first, to saida; what went
    // wrong goes to erros. Returns the program's exit code.
    static int imprimir(const QString &arquivo, FILE *saida, FILE *erros);
    // One run, as imprimir prints it (without the line break).
    static QString linha(const ExecucaoPratica &execucao);
};
