#include "engine/AcessoGui.h"

AcessoGui &AcessoGui::instancia()
{
    static AcessoGui *unica = new AcessoGui;
    return *unica;
}

void AcessoGui::atualizarAndamento(int32_t andamento)
{
    if (receptor)
        receptor->exibirAndamento(andamento);
}

void AcessoGui::atualizarPosicao()
{
    if (receptor)
        receptor->exibirPosicao();
}

void AcessoGui::atualizarAvaliacao()
{
    if (receptor)
        receptor->exibirAvaliacao();
}
