#include "player/AplicacaoTamborly.h"
#include "settings/GerenciadorIdiomas.h"

int main(int argc, char **argv)
{
    AplicacaoTamborly aplicacao(argc, argv);
    const int codigo = AplicacaoTamborly::executar();
    // The language manager owns its chooser dialog, a widget: it must go while
    // the application object still exists, not among the static destructors.
    GerenciadorIdiomas::descartarInstancia();
    return codigo;
}
