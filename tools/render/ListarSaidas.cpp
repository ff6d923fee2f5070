// tamborly-render-outputs: the files tamborly-render writes for a picture list, read by
// the render tool's own list reader, for CMake while it configures (the build has no
// render tool yet then).
//   tamborly-render-outputs --list L.pics --out DIR [--renders DIR]
// Prints two CMake commands, set(outputs ...) and set(renders ...), each path quoted.

#include "tools/render/ListaFiguras.h"

#include <cstdio>
#include <cstring>

namespace {

void imprimir(const char *variavel, const QStringList &arquivos)
{
    std::printf("set(%s", variavel);
    for (const QString &arquivo : arquivos)
        std::printf(" \"%s\"", arquivo.toUtf8().constData());
    std::printf(")\n");
}

}  // namespace

int main(int argc, char **argv)
{
    QString lista, saida, pastaRenders;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString valor = QString::fromLocal8Bit(argv[i + 1]);
        if (std::strcmp(argv[i], "--list") == 0)
            lista = valor;
        else if (std::strcmp(argv[i], "--out") == 0)
            saida = valor;
        else if (std::strcmp(argv[i], "--renders") == 0)
            pastaRenders = valor;
    }
    if (lista.isEmpty() || saida.isEmpty() || argc % 2 == 0) {
        std::fprintf(stderr, "usage: tamborly-render-outputs --list L.pics --out DIR [--renders DIR]\n");
        return 1;
    }
    QList<Figura> figuras;
    QString erro;
    if (!ListaFiguras::ler(lista, figuras, erro)) {
        std::fprintf(stderr, "tamborly-render-outputs: %s\n", erro.toUtf8().constData());
        return 1;
    }
    imprimir("outputs", ListaFiguras::saidas(figuras, saida));
    imprimir("renders", pastaRenders.isEmpty() ? QStringList() : ListaFiguras::renders(figuras, pastaRenders));
    return 0;
}
