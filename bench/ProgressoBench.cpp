// Opening the progress view of a song with 10,000 scored runs (6 drum families
// each): reading the runs, working out the summary, building the dialog and
// painting it once. Also the reading alone and the painting alone. Prints median
// and p99 in milliseconds.

#include "platform/PastaAplicacao.h"
#include "player/GraficoProgresso.h"
#include "player/TFormProgresso.h"
#include "practice/HistoricoPratica.h"
#include "settings/GerenciadorIdiomas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall-clock time, and the process's CPU time, which other programs' load on a
// shared machine does not inflate.
template <typename F>
void medir(const char *nome, int vezes, F &&f)
{
    f();  // warm up
    std::vector<double> tempos;
    std::vector<double> cpu;
    QElapsedTimer relogio;
    for (int i = 0; i < vezes; ++i) {
        const double cpuAntes = cpuMs();
        relogio.start();
        f();
        tempos.push_back(relogio.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - cpuAntes);
    }
    std::sort(tempos.begin(), tempos.end());
    std::sort(cpu.begin(), cpu.end());
    const size_t p99 = std::min(tempos.size() - 1, tempos.size() * 99 / 100);
    std::printf("%-52s median %7.2f ms   p99 %7.2f ms   cpu median %7.2f ms   (10,000 runs, %d repeats)\n", nome,
                tempos[tempos.size() / 2], tempos[p99], cpu[cpu.size() / 2], vezes);
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PastaAplicacao::definir(QStringLiteral(TAMBORLY_BUILD_APP_DIR));
    if (!GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("English"))) {
        std::fprintf(stderr, "bench_Progresso: no English language in %s; build tamborly_languages first\n",
                     TAMBORLY_BUILD_APP_DIR);
        return 1;
    }
    QTemporaryDir pasta;
    const QString musica = pasta.filePath(QStringLiteral("groove.mid"));
    QFile f(musica);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray(20000, 'g'));
    f.close();
    const QString hash = HistoricoPratica::hashArquivo(musica);
    HistoricoPratica historico(pasta.filePath(QStringLiteral("practice.sqlite")));
    const QDateTime inicio = QDateTime::currentDateTime().addDays(-200);
    for (int i = 0; i < 10000; ++i) {
        ExecucaoPratica e;
        e.quando = inicio.addSecs(1500LL * i);
        e.arquivo = QStringLiteral("groove.mid");
        e.hash = i % 10 == 9 ? QStringLiteral("another song") : hash;  // other songs in between
        e.duracaoMs = 60000;
        e.resultado.esperados = 64;
        e.resultado.perfeitos = 20 + i % 40;
        e.resultado.desvioMedioMs = (i % 50) - 25;
        for (int familia : {35, 37, 42, 45, 49, 51})
            e.resultado.familias[familia] = {10, 5 + i % 6};
        historico.salvar(e);
    }
    for (int i = 0; i < 1000; ++i) {  // and 10,000 of this song in all
        ExecucaoPratica e;
        e.quando = inicio.addSecs(1500LL * (10000 + i));
        e.hash = hash;
        e.resultado.esperados = 64;
        e.resultado.perfeitos = 50;
        historico.salvar(e);
    }
    std::printf("runs of the song: %zu\n", historico.execucoesDaMusica(hash).size());

    medir("open the view (read, summary, build, first paint)", 30, [&] {
        TFormProgresso view;
        view.mostrarMusica(musica, &historico);
        view.grab();
    });
    medir("read the runs (families of the latest 10)", 30, [&] { historico.execucoesDaMusica(hash, 10); });
    medir("read the runs (families of all)", 30, [&] { historico.execucoesDaMusica(hash); });
    TFormProgresso view;
    view.mostrarMusica(musica, &historico);
    medir("paint the chart only", 30, [&] { view.grafico->grab(); });
    GraficoProgresso vazio;
    vazio.resize(view.grafico->size());
    medir("paint an empty chart of the same size (baseline)", 30, [&] { vazio.grab(); });
    std::printf("chart size %dx%d\n", view.grafico->width(), view.grafico->height());
    GerenciadorIdiomas::descartarInstancia();
    return 0;
}
