#include "engine/AcessoConfiguracao.h"

AcessoConfiguracao &AcessoConfiguracao::instancia()
{
    static AcessoConfiguracao *unica = new AcessoConfiguracao;
    return *unica;
}

bool AcessoConfiguracao::canalAtivo(int32_t indice) const
{
    return !fonte || fonte->canalAtivo(indice);
}

void AcessoConfiguracao::mostrarNota(uint32_t nota)
{
    if (fonte)
        fonte->mostrarNota(nota);
}

void AcessoConfiguracao::esconderNota(uint32_t nota)
{
    if (fonte)
        fonte->esconderNota(nota);
}
