// Cost of lighting and releasing one drum, with the repaint of the kit panel.
// Prints median and p99 of one mostrarNota + esconderNota pair, each followed by
// painting what it changed: rendered at once into a panel-sized buffer, and
// through the event loop's own repaint (CPU time, since the loop paints once
// per frame). A full render of the panel is the baseline.

#include "kit/TabelaBateria.h"
#include "player/Bateria.h"
#include "player/PecasBateria.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QEventLoop>
#include <QImage>
#include <QTimer>
#include <QRegion>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Pictures of the real size when the built-in artwork is not there, so the
// painting costs what it will: opaque drums, sticks with an alpha channel.
void garantirImagens(const QList<QLabel *> &imagens)
{
    for (int i = 0; i < imagens.size(); ++i) {
        QLabel *label = imagens[i];
        if (!label->pixmap().isNull())
            continue;
        const PecaBateria &peca = tabelaBateria[size_t(i)];
        QPixmap pixmap(peca.largura, peca.altura);
        if (peca.transparente) {
            pixmap.fill(Qt::transparent);
            QPainter pintor(&pixmap);
            pintor.setRenderHint(QPainter::Antialiasing);
            pintor.setBrush(QColor(150, 100, 60));
            pintor.drawEllipse(pixmap.rect().adjusted(2, 2, -2, -2));
        } else {
            pixmap.fill(QColor(40 + i * 7, 90, 160));
            label->setAttribute(Qt::WA_OpaquePaintEvent);
        }
        label->setPixmap(pixmap);
    }
}

struct Resultado {
    double mediana;
    double p99;
};

Resultado estatistica(std::vector<double> amostras)
{
    std::sort(amostras.begin(), amostras.end());
    return {amostras[amostras.size() / 2], amostras[std::min(amostras.size() - 1, amostras.size() * 99 / 100)]};
}

// Microseconds of CPU time of the calling thread: unlike the wall clock, it
// leaves out the time the thread waits for the processor on a busy machine.
double tempoCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

struct Medida {
    Resultado relogio;
    Resultado cpu;
};

Medida medir(int repeticoes, auto &&uma)
{
    std::vector<double> relogio;
    std::vector<double> cpu;
    relogio.reserve(size_t(repeticoes));
    cpu.reserve(size_t(repeticoes));
    QElapsedTimer cronometro;
    for (int i = 0; i < repeticoes; ++i) {
        const double inicio = tempoCpu();
        cronometro.start();
        uma(i);
        relogio.push_back(double(cronometro.nsecsElapsed()) / 1000.0);
        cpu.push_back(tempoCpu() - inicio);
    }
    return {estatistica(std::move(relogio)), estatistica(std::move(cpu))};
}

class ContadorPinturas : public QObject {
public:
    bool eventFilter(QObject *, QEvent *evento) override
    {
        if (evento->type() == QEvent::Paint) {
            ++pinturas;
            if (espera)
                espera->quit();  // takes effect once the whole paint pass is done
        }
        return false;
    }
    long pinturas = 0;
    QEventLoop *espera = nullptr;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QWidget janela;
    janela.setObjectName(QStringLiteral("FormPrincipal"));
    janela.resize(793, 527);
    auto *painel = new QWidget(&janela);
    painel->setObjectName(QStringLiteral("pnInstrumento"));
    painel->setAttribute(Qt::WA_NoSystemBackground, false);
    painel->setAutoFillBackground(true);
    const QList<QLabel *> imagens = PecasBateria::criar(painel);
    garantirImagens(imagens);
    Bateria bateria;
    janela.show();
    if (!QTest::qWaitForWindowExposed(&janela)) {
        std::fprintf(stderr, "bench_bateria: the window was never exposed; is QT_QPA_PLATFORM usable?\n");
        return 1;
    }
    QCoreApplication::processEvents();

    // Every note the kit shows, struck in turn.
    constexpr std::array<uint32_t, 22> notas{35, 36, 37, 38, 40, 41, 42, 43, 44, 45, 46,
                                             47, 48, 49, 50, 51, 52, 53, 54, 55, 57, 59};

    // The rectangles each note changes, found by striking it once.
    auto visiveis = [&] {
        std::vector<bool> v;
        for (QLabel *label : imagens)
            v.push_back(!label->isHidden());
        return v;
    };
    std::vector<QRegion> regioes;
    for (uint32_t nota : notas) {
        QRegion regiao;
        const auto antes = visiveis();
        bateria.mostrarNota(nota);
        const auto durante = visiveis();
        bateria.esconderNota(nota);
        const auto depois = visiveis();
        for (int i = 0; i < imagens.size(); ++i) {
            if (antes[size_t(i)] != durante[size_t(i)] || durante[size_t(i)] != depois[size_t(i)])
                regiao += imagens[i]->geometry();
        }
        regioes.push_back(regiao);
    }

    // Stands for the window's backing store.
    QImage buffer(painel->size(), QImage::Format_ARGB32_Premultiplied);
    auto pintar = [&](const QRegion &regiao) { painel->render(&buffer, regiao.boundingRect().topLeft(), regiao); };
    ContadorPinturas contador;
    auto par = [&](int i) {
        const size_t k = size_t(i) % notas.size();
        bateria.mostrarNota(notas[k]);
        pintar(regioes[k]);
        bateria.esconderNota(notas[k]);
        pintar(regioes[k]);
    };
    auto painelInteiro = [&](int) { painel->render(&buffer); };

    constexpr int aquecimento = 2000;
    constexpr int repeticoes = 20000;
    medir(aquecimento, par);
    for (QLabel *label : imagens)
        label->installEventFilter(&contador);
    medir(int(notas.size()), par);
    const double imagensPorPar = double(contador.pinturas) / double(notas.size());
    for (QLabel *label : imagens)
        label->removeEventFilter(&contador);
    const Medida r = medir(repeticoes, par);

    medir(aquecimento / 10, painelInteiro);
    const Medida base = medir(repeticoes / 10, painelInteiro);

    // The real path: the pair marks its pictures dirty and the event loop paints
    // them at the next frame. Idle waiting for the frame is not counted.
    constexpr int pelaJanela = 200;
    for (QLabel *label : imagens)
        label->installEventFilter(&contador);
    QEventLoop espera;
    QTimer limite;
    limite.setSingleShot(true);
    QObject::connect(&limite, &QTimer::timeout, &espera, &QEventLoop::quit);
    auto esperarPintura = [&] {
        const long antes = contador.pinturas;
        contador.espera = &espera;
        limite.start(5000);
        espera.exec();
        limite.stop();
        contador.espera = nullptr;
        return contador.pinturas > antes;
    };
    std::vector<double> amostras;
    for (int i = 0; i < pelaJanela; ++i) {
        const size_t k = size_t(i) % notas.size();
        // From the bare kit every note changes pictures on strike and on release.
        bateria.esconderTudo();
        QTest::qWait(25);
        const double inicio = tempoCpu();
        bateria.mostrarNota(notas[k]);
        bool pintou = esperarPintura();
        bateria.esconderNota(notas[k]);
        pintou = esperarPintura() && pintou;
        if (!pintou) {
            std::fprintf(stderr, "bench_bateria: note %u was not repainted within 5 s\n", notas[k]);
            return 1;
        }
        amostras.push_back(tempoCpu() - inicio);
    }
    const Resultado janelaReal = estatistica(std::move(amostras));

    std::printf("mostrarNota + esconderNota, each followed by rendering the changed rectangles,\n"
                "%d pairs over the %zu kit notes, %.1f picture paints per pair (target < 200 us)\n",
                repeticoes, notas.size(), imagensPorPar);
    std::printf("  wall clock  median %8.1f us   p99 %8.1f us\n", r.relogio.mediana, r.relogio.p99);
    std::printf("  CPU time    median %8.1f us   p99 %8.1f us\n", r.cpu.mediana, r.cpu.p99);
    std::printf("the same through the event loop's own repaint, %d pairs\n", pelaJanela);
    std::printf("  CPU time    median %8.1f us   p99 %8.1f us\n", janelaReal.mediana, janelaReal.p99);
    std::printf("baseline: rendering the whole %dx%d kit panel, %d runs\n", larguraBateria, alturaBateria,
                repeticoes / 10);
    std::printf("  wall clock  median %8.1f us   p99 %8.1f us\n", base.relogio.mediana, base.relogio.p99);
    std::printf("  CPU time    median %8.1f us   p99 %8.1f us\n", base.cpu.mediana, base.cpu.p99);
    return 0;
}
