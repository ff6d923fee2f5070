#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Standard MIDI Files for tests and benchmarks, written through the toolkit's own
// writer, so that what the reader sees is what the program's files look like.
class GravadorMidi {
public:
    struct Registro {
        uint32_t delta;
        uint8_t status;
        uint8_t dado1;
        uint8_t dado2;
    };
    struct Meta {
        uint32_t tick;  // absolute
        uint8_t tipo;
        QByteArray dados;
    };
    struct Trilha {
        std::vector<Registro> registros;
        std::vector<Meta> metas;
    };

    // One track per entry, in a format 1 file; false when any write fails.
    static bool gravar(const QString &caminho, uint16_t resolucao, const std::vector<Trilha> &trilhas);
    // A tempo event (microseconds per quarter note) at that tick.
    static Meta andamento(uint32_t tick, uint32_t microssegundos);
    // A track name at tick 0.
    static Meta nome(const QByteArray &texto);
};
