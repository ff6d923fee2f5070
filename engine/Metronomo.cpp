#include "engine/Metronomo.h"

#include "engine/SaidaMIDI.h"
#include "song/Musica.h"

#include <algorithm>

namespace {
constexpr int32_t canalBateria = 9;
// A whole note is four quarter notes of 64 ticks.
constexpr int32_t ticksPorSemibreve = 256;
}

void Metronomo::setVolume(int32_t percentual)
{
    volume = std::clamp(percentual, 0, 100);
}

int32_t Metronomo::ticksPorBatida(const Musica *musica)
{
    const int32_t denominador = musica ? musica->getDenominadorCompasso() : 4;
    return std::max(ticksPorSemibreve / denominador, 1);
}

int32_t Metronomo::ticksPorCompasso(const Musica *musica)
{
    return ticksPorBatida(musica) * (musica ? musica->getNumeradorCompasso() : 4);
}

bool Metronomo::iniciarContagem(const Musica *musica)
{
    if (!contagem)
        return false;
    contagemTotal = ticksPorCompasso(musica);
    contagemRestante = contagemTotal;
    return true;
}

void Metronomo::contarTick(const Musica *musica)
{
    if (contagemRestante <= 0)
        return;
    const int32_t feitos = contagemTotal - contagemRestante;
    --contagemRestante;
    if (feitos % ticksPorBatida(musica) == 0)
        tocarClique(feitos == 0);
}

void Metronomo::clicar(const Musica *musica, int32_t posicao)
{
    if (!ligado || posicao < 0 || posicao % ticksPorBatida(musica) != 0)
        return;
    tocarClique(posicao % ticksPorCompasso(musica) == 0);
}

void Metronomo::tocarClique(bool acento)
{
    if (volume == 0)
        return;
    // Velocity carries the metronome's own volume; the master volume still applies on top.
    const int32_t velocidade = std::max(1, (127 * volume + 50) / 100);
    SaidaMIDI::instancia().notaLigada(canalBateria, velocidade, acento ? notaAcento : notaBatida);
}
