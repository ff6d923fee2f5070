#pragma once

#include <QString>

#include <cstdint>

// The names of the MIDI output devices, standing in for the Windows
// capability query. It asks the driver library itself (the copy in the
// application folder, as the binding loads it), so device numbers here always
// agree with the ones the library opens.
class CapacidadesDispositivo {
public:
    // The device name, as "szPname" of a 32-byte record: at most 31 bytes, cut at a
    // UTF-8 character boundary, zero-terminated. 0 on success; non-zero for an
    // unknown device or when the library cannot be reached (nome is then empty).
    static uint32_t consultar(uint32_t dispositivo, char nome[32]);

    // Cuts a zero-terminated UTF-8 name in place to at most 31 bytes, never
    // inside a character (a name the library cut short loses its broken tail).
    static void cortarNome(char nome[32]);

    // The library's report of what keeps its output silent (no soundfont, an
    // audio or capture file that cannot be created); empty when nothing does or
    // when the library cannot be reached.
    static QString problemaBiblioteca();

    // Test seam: replaces the query (null restores the library's).
    using Consulta = uint32_t (*)(uint32_t dispositivo, char nome[32]);
    static void definirConsulta(Consulta consulta);
};
