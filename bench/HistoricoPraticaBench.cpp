// Cost of saving one scored run to the practice history (one transaction: the
// run and its drum families), into a new history and into one that already
// holds 10,000 runs. Prints median and p99 in microseconds.

#include "practice/HistoricoPratica.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

ExecucaoPratica execucao(int n)
{
    ExecucaoPratica e;
    e.arquivo = QStringLiteral("rock-1.mid");
    e.hash = QStringLiteral("%1").arg(n % 20, 64, 10, QLatin1Char('0'));
    e.duracaoMs = 45000;
    ResultadoAvaliacao &r = e.resultado;
    r.esperados = 64;
    r.perfeitos = 30;
    r.bons = 20;
    r.ok = 6;
    r.perdidos = 8;
    r.extras = 3;
    r.desvioMedioMs = 7.5;
    r.dispersaoMs = 14.0;
    for (int familia : {35, 37, 42, 45, 49, 51})
        r.familias[familia] = {10, 8};
    return e;
}

void medir(const char *nome, HistoricoPratica &historico, int vezes)
{
    std::vector<double> tempos;
    tempos.reserve(vezes);
    QElapsedTimer relogio;
    for (int i = 0; i < vezes; ++i) {
        ExecucaoPratica e = execucao(i);
        relogio.start();
        if (!historico.salvar(e)) {
            std::fprintf(stderr, "bench_HistoricoPratica: %s\n", qPrintable(historico.getErro()));
            return;
        }
        tempos.push_back(relogio.nsecsElapsed() / 1000.0);
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("%-48s median %8.1f us   p99 %8.1f us   (%d saves, 6 families each)\n", nome,
                tempos[tempos.size() / 2], tempos[std::min(tempos.size() - 1, tempos.size() * 99 / 100)], vezes);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir pasta;
    HistoricoPratica historico(pasta.filePath(QStringLiteral("practice.sqlite")));
    if (!historico.aberto()) {
        std::fprintf(stderr, "bench_HistoricoPratica: %s\n", qPrintable(historico.getErro()));
        return 1;
    }
    for (int i = 0; i < 50; ++i) {  // warm up
        ExecucaoPratica e = execucao(i);
        historico.salvar(e);
    }
    medir("save a run (new history)", historico, 1000);
    for (int i = 0; i < 9000; ++i) {
        ExecucaoPratica e = execucao(i);
        historico.salvar(e);
    }
    medir("save a run (history of 10,000 runs)", historico, 1000);
    return 0;
}
