#pragma once

#include "practice/ExecucaoPratica.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <memory>

class HistoricoPratica;

// The practice history as tamborly-play shows it (one line per run) and keeps
// the runs it scores.
class HistoricoTerminal {
public:
    HistoricoTerminal();
    ~HistoricoTerminal();
    // Keeps a finished Play Along run of the song in arquivo; its practice time
    // counts from the previous run or from this object's creation. Trouble is
    // told on erros, once.
    void guardar(const ResultadoAvaliacao &resultado, const QString &arquivo, double velocidade, FILE *erros);

    // Prints every run of the song in this file, oldest first, to saida; what went
    // wrong goes to erros. Returns the program's exit code.
    static int imprimir(const QString &arquivo, FILE *saida, FILE *erros);
    // One run, as imprimir prints it (without the line break).
    static QString linha(const ExecucaoPratica &execucao);

private:
    std::unique_ptr<HistoricoPratica> historico;
    QString hash;
    QElapsedTimer desdeInicio;
    bool falhaDita = false;
};
