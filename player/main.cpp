#include "player/AplicacaoTamborly.h"

int main(int argc, char **argv)
{
    AplicacaoTamborly aplicacao(argc, argv);
    return AplicacaoTamborly::executar();
}
