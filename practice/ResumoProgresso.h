#pragma once

#include "practice/ExecucaoPratica.h"

#include <QDateTime>

#include <vector>

// What the progress view tells a drummer about one song, worked out from its runs.
struct ResumoProgresso {
    struct FamiliaFraca {
        int familia = 0;   // first note of the drum family
        double precisao = 0;  // percent
        int esperados = 0;
    };

    // Families are judged on the latest runs only, so an old weakness that has
    // been practised away does not stay on the list.
    static constexpr int execucoesRecentes = 10;
    static constexpr int maximoFamiliasFracas = 3;

    int melhor = -1;  // index of the best run; -1 with no runs
    qint64 tempoSemanaMs = 0;  // practice time of this song since the week began
    std::vector<FamiliaFraca> familiasFracas;  // lowest accuracy first

    // execucoes oldest first; agora gives the week (it begins on Monday, 00:00 local time).
    static ResumoProgresso calcular(const std::vector<ExecucaoPratica> &execucoes, const QDateTime &agora);
    static QDateTime inicioDaSemana(const QDateTime &agora);
};
