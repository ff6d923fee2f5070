#pragma once

#include <array>
#include <string_view>

// One picture of the drum kit, placed in the kit panel pnInstrumento.
struct PecaBateria {
    std::string_view nome;  // component name; also the resource ":/<nome>.jpg"
    int esquerda;
    int topo;
    int largura;
    int altura;
    bool transparente;      // drawn through its alpha mask over what lies beneath
    int slot;               // index in Bateria's picture table; -1 for none
};

// Every kit picture, lowest first: a later picture covers an earlier one where
// they overlap. The struck drums and cymbals are cut from the renders of the kit
// at exactly these rectangles, so they line up with the background.
inline constexpr std::array<PecaBateria, 29> tabelaBateria{{
    {"imgBateria",        0,   0, 626, 414, false, -1},
    {"imgChimbal",       41,  80, 107, 321, false, 19},
    {"imgPeChimbal",     79, 335,  97,  75, false, 15},
    {"imgSurdo2",       467, 204,  40,  19, false, 24},
    {"imgCaixa",        160, 188,  40,  18, false, 20},
    {"imgSurdo1",       380, 182,  36,  21, false, 23},
    {"imgTon1",         221, 123,  36,  20, false, 21},
    {"imgTon2",         302, 121,  39,  22, false, 22},
    {"imgPrato1",        72,   0, 102,  71, false, 25},
    {"imgPratoAttack1", 183,  43,  81,  40, false, 26},
    {"imgPrato2",       290,  11, 112,  69, false, 27},
    {"imgPratoAttack2", 392, 108,  90,  61, false, 28},
    {"imgPrato3",       452,  20, 142,  88, false, 29},
    {"imgBaqCaixa",     111, 197,  68,  28, true,   3},
    {"imgBaqPrAttack1", 218,  70,  25,  57, true,  10},
    {"imgBaqPrato1",    139,  58,  38,  63, true,   9},
    {"imgBaqSurdo2",    410, 204,  69,  12, true,   8},
    {"imgBaqSurdo1",    322, 181,  73,  18, true,   7},
    {"imgBaqTon2",      300, 132,  19,  68, true,   6},
    {"imgBaqTon1",      240, 136,  17,  69, true,   5},
    {"imgBaqChimbal",   114, 140,  68,  22, true,   1},
    {"imgBaqAro",       170, 184,  69,  18, true,   4},
    {"imgBaqPrato2",    303,  62,  23,  69, true,  11},
    {"imgBaqPrAttack2", 354, 141,  59,  45, true,  12},
    {"imgBaqPrato3",    412,  85,  64,  41, true,  13},
    {"imgBaqChimbal2",  115, 129,  71,  24, true,   2},
    {"imgPeSolto",       92, 344,  86,  64, false, 16},
    {"imgBombo",        208, 214, 133, 189, false, 18},
    {"imgPeBomboSolto", 259, 300,  42, 105, false, 14},
}};

// The kit panel's size; the background picture fills it.
inline constexpr int larguraBateria = 626;
inline constexpr int alturaBateria = 414;

// Slots of Bateria's picture table. 0 and 17 stay empty.
inline constexpr int numSlotsBateria = 30;
