#pragma once

#include <map>
#include <vector>

// What one scored Play Along run gives: the results panel shows it and the
// practice history keeps it. Offsets are in milliseconds, positive when late.
struct ResultadoAvaliacao {
    // Accuracy of one drum family, keyed in `familias` by the family's first note
    // (35 bass drum, 37 snare, 42 hi-hat, each tom by its own note, 49 crash,
    // 51 ride, any other note by itself).
    struct Familia {
        int esperados = 0;
        int acertos = 0;  // perfect + good + ok
    };

    int esperados = 0;  // expected strokes
    int perfeitos = 0;
    int bons = 0;
    int ok = 0;
    int perdidos = 0;  // expected strokes left unmatched
    int extras = 0;    // hits that matched no stroke
    double desvioMedioMs = 0;
    double dispersaoMs = 0;  // standard deviation of the offsets
    std::vector<double> desviosMs;  // each graded hit's offset, in order of the hits
    std::map<int, Familia> familias;

    // Perfect + good + ok over expected, in percent; 0 with nothing expected.
    double precisao() const
    {
        return esperados > 0 ? 100.0 * (perfeitos + bons + ok) / esperados : 0.0;
    }
};
