// Cost of lighting and releasing one drum, with the repaint of the kit panel.
// Prints median and p99 of one mostrarNota + esconderNota pair, each followed by
// painting what it changed, against a full repaint of the panel as baseline.

#include "player/Bateria.h"
#include "player/PecasBateria.h"
#include "player/TabelaBateria.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

// Paints the updates that are waiting, as the event loop would on its next pass.
void pintarPendentes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

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

Resultado medir(int repeticoes, auto &&uma)
{
    std::vector<double> amostras;
    amostras.reserve(size_t(repeticoes));
    QElapsedTimer relogio;
    for (int i = 0; i < repeticoes; ++i) {
        relogio.start();
        uma(i);
        amostras.push_back(double(relogio.nsecsElapsed()) / 1000.0);
    }
    std::sort(amostras.begin(), amostras.end());
    return {amostras[amostras.size() / 2], amostras[std::min(amostras.size() - 1, amostras.size() * 99 / 100)]};
}

class ContadorPinturas : public QObject {
public:
    bool eventFilter(QObject *, QEvent *evento) override
    {
        if (evento->type() == QEvent::Paint)
            ++pinturas;
        return false;
    }
    long pinturas = 0;
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
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    // Every note the kit shows, struck in turn.
    constexpr std::array<uint32_t, 22> notas{35, 36, 37, 38, 40, 41, 42, 43, 44, 45, 46,
                                             47, 48, 49, 50, 51, 52, 53, 54, 55, 57, 59};
    auto par = [&](int i) {
        const uint32_t nota = notas[size_t(i) % notas.size()];
        bateria.mostrarNota(nota);
        pintarPendentes();
        bateria.esconderNota(nota);
        pintarPendentes();
    };
    auto painelInteiro = [&](int) { painel->repaint(); };

    constexpr int aquecimento = 2000;
    constexpr int repeticoes = 20000;
    medir(aquecimento, par);

    ContadorPinturas contador;
    for (QLabel *label : imagens)
        label->installEventFilter(&contador);
    medir(int(notas.size()), par);
    const double imagensPorPar = double(contador.pinturas) / double(notas.size());
    for (QLabel *label : imagens)
        label->removeEventFilter(&contador);

    const Resultado r = medir(repeticoes, par);
    medir(aquecimento / 10, painelInteiro);
    const Resultado base = medir(repeticoes / 10, painelInteiro);

    std::printf("mostrarNota + esconderNota with repaint, %d pairs over %zu notes, %.1f picture paints per pair\n",
                repeticoes, notas.size(), imagensPorPar);
    std::printf("  median %8.1f us   p99 %8.1f us   (target < 200 us)\n", r.mediana, r.p99);
    std::printf("baseline: full repaint of the %dx%d kit panel, %d runs\n", larguraBateria, alturaBateria,
                repeticoes / 10);
    std::printf("  median %8.1f us   p99 %8.1f us\n", base.mediana, base.p99);
    return 0;
}
