#pragma once

#include <array>
#include <cstdint>

// The computer keyboard as a drum kit: nineteen keys strike drums and cymbals
// on the drum channel, and Ctrl works the hi-hat pedal.
namespace TecladoBateria {

struct Tecla {
    uint16_t codigo;       // virtual key code: the upper-case letter, or 0x20 for Space
    int slot;              // which held-key flag it uses
    uint32_t nota;         // General MIDI percussion note
    uint32_t notaComCtrl;  // the note while Ctrl is held (the closed hi-hat for X and D)
};

inline constexpr std::array<Tecla, 19> teclas{{
    {'A', 0, 38, 38},   {'S', 1, 38, 38},   {'Z', 2, 37, 37},   {'X', 3, 46, 42},   {'D', 4, 46, 42},
    {'C', 5, 48, 48},   {'F', 6, 48, 48},   {'V', 7, 45, 45},   {'G', 8, 45, 45},   {'B', 9, 43, 43},
    {'H', 10, 43, 43},  {'N', 11, 41, 41},  {'J', 12, 41, 41},  {'E', 13, 59, 59},  {'Y', 14, 57, 57},
    {'O', 15, 49, 49},  {'R', 16, 55, 55},  {'K', 17, 51, 51},  {' ', 18, 35, 35},
}};

inline constexpr int slotPedal = 19;
inline constexpr uint32_t notaPedal = 44;  // Pedal Hi-Hat

// The entry of a key code, or null for a key that is not a drum key.
constexpr const Tecla *procurar(uint16_t codigo)
{
    for (const Tecla &tecla : teclas)
        if (tecla.codigo == codigo)
            return &tecla;
    return nullptr;
}

// A Qt key as a virtual key code: Qt's codes for letters and Space are the same
// numbers; any other key gives 0, which is no drum key.
constexpr uint16_t codigo(int teclaQt)
{
    return (teclaQt == 0x20 || (teclaQt >= 'A' && teclaQt <= 'Z')) ? uint16_t(teclaQt) : uint16_t(0);
}

}
