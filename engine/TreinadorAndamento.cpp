#include "engine/TreinadorAndamento.h"

#include <algorithm>
#include <cmath>

void TreinadorAndamento::configurar(int inicioPercentual, int passoPercentual, int alvoPercentual)
{
    inicio = std::clamp(inicioPercentual, 25, 200);
    passo = std::clamp(passoPercentual, 1, 50);
    alvo = std::clamp(alvoPercentual, 25, 200);
}

double TreinadorAndamento::proximoFator(double fatorAtual) const
{
    // Whole percentages, so that 70 % plus ten steps of 3 % is exactly 100 %.
    const long atual = std::lround(fatorAtual * 100.0);
    const long proximo = atual < alvo ? std::min<long>(atual + passo, alvo) : std::max<long>(atual - passo, alvo);
    return proximo / 100.0;
}
