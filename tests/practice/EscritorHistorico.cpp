// A second program writing to the practice history, for the tests of two
// writers at once and of a writer killed mid-run:
//   escritor_historico PATH COUNT TAG   (COUNT 0: until killed)
// Prints "saved N" after each committed run.

#include "practice/HistoricoPratica.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    HistoricoPratica historico(QString::fromLocal8Bit(argv[1]));
    if (!historico.aberto()) {
        std::fprintf(stderr, "%s\n", qPrintable(historico.getErro()));
        return 1;
    }
    const long quantas = std::strtol(argv[2], nullptr, 10);
    for (long n = 1; quantas == 0 || n <= quantas; ++n) {
        ExecucaoPratica e;
        e.arquivo = QString::fromLocal8Bit(argv[3]) + QStringLiteral(".mid");
        e.hash = QString::fromLocal8Bit(argv[3]);
        e.duracaoMs = 1000;
        e.resultado.esperados = 12;
        e.resultado.perfeitos = static_cast<int>(n % 12);
        // Three families per run: a run read back with fewer was torn apart.
        e.resultado.familias[35] = {4, 4};
        e.resultado.familias[37] = {4, 3};
        e.resultado.familias[42] = {4, 2};
        if (!historico.salvar(e)) {
            std::fprintf(stderr, "run %ld: %s\n", n, qPrintable(historico.getErro()));
            return 1;
        }
        std::printf("saved %ld\n", n);
        std::fflush(stdout);
    }
    return 0;
}
