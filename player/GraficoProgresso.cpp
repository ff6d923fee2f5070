#include "player/GraficoProgresso.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

const QColor corPrecisao(40, 100, 200);
const QColor corDesvio(220, 120, 30);
const QColor corMelhor(230, 170, 0);
const QColor corGrade(220, 224, 232);
const QColor corTexto(70, 70, 80);

constexpr int margemEsquerda = 44;
constexpr int margemDireita = 12;
constexpr int alturaTitulo = 16;
constexpr int alturaDatas = 16;

}  // namespace

GraficoProgresso::GraficoProgresso(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
}

void GraficoProgresso::setExecucoes(const std::vector<ExecucaoPratica> &execucoes, int melhorExecucao)
{
    precisoes.clear();
    desvios.clear();
    precisoes.reserve(execucoes.size());
    desvios.reserve(execucoes.size());
    for (const ExecucaoPratica &e : execucoes) {
        precisoes.push_back(static_cast<float>(e.resultado.precisao()));
        desvios.push_back(static_cast<float>(e.resultado.desvioMedioMs));
    }
    melhor = melhorExecucao;
    const QString formato = QStringLiteral("yyyy-MM-dd");
    primeiraData = execucoes.empty() ? QString() : execucoes.front().quando.toLocalTime().toString(formato);
    ultimaData = execucoes.empty() ? QString() : execucoes.back().quando.toLocalTime().toString(formato);
    update();
}

void GraficoProgresso::setTextos(const QString &precisao, const QString &desvio)
{
    textoPrecisao = precisao;
    textoDesvio = desvio;
    update();
}

std::vector<GraficoProgresso::Coluna> GraficoProgresso::colunas(const std::vector<float> &valores, double esquerda,
                                                                double largura) const
{
    std::vector<Coluna> resultado;
    const size_t n = valores.size();
    if (n == 0)
        return resultado;
    if (n == 1) {
        resultado.push_back({esquerda + largura / 2, valores[0]});
        return resultado;
    }
    const double passo = largura / static_cast<double>(n - 1);
    if (passo >= 1.0) {
        resultado.reserve(n);
        for (size_t i = 0; i < n; ++i)
            resultado.push_back({esquerda + passo * static_cast<double>(i), valores[i]});
        return resultado;
    }
    // More runs than pixels: one mean per pixel column keeps the drawing cheap and readable.
    const int pixels = std::max(1, static_cast<int>(largura));
    resultado.reserve(pixels + 1);
    size_t i = 0;
    for (int p = 0; p <= pixels && i < n; ++p) {
        double soma = 0;
        int conta = 0;
        for (; i < n && (static_cast<double>(i) * passo) < p + 1; ++i) {
            soma += valores[i];
            ++conta;
        }
        if (conta > 0)
            resultado.push_back({esquerda + p, soma / conta});
    }
    return resultado;
}

void GraficoProgresso::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    QFont fonte = font();
    fonte.setPixelSize(11);
    p.setFont(fonte);

    const double esquerda = margemEsquerda;
    const double largura = width() - margemEsquerda - margemDireita;
    const double alturaPainel = (height() - alturaDatas - 2 * alturaTitulo - 8) / 2.0;
    const QRectF painelPrecisao(esquerda, alturaTitulo, largura, alturaPainel);
    const QRectF painelDesvio(esquerda, painelPrecisao.bottom() + 8 + alturaTitulo, largura, alturaPainel);

    // The offset panel is symmetric around zero, in steps of 10 ms, at least ±10 ms.
    float maiorDesvio = 0;
    for (float d : desvios)
        maiorDesvio = std::max(maiorDesvio, std::abs(d));
    const double limiteDesvio = std::max(10.0, std::ceil(maiorDesvio / 10.0) * 10.0);

    auto yPrecisao = [&](double v) { return painelPrecisao.bottom() - v / 100.0 * painelPrecisao.height(); };
    auto yDesvio = [&](double v) { return painelDesvio.center().y() - v / limiteDesvio * painelDesvio.height() / 2; };

    // Panels, grid and scales.
    p.setPen(corTexto);
    p.drawText(QRectF(esquerda, 0, largura, alturaTitulo), Qt::AlignLeft | Qt::AlignVCenter, textoPrecisao);
    p.drawText(QRectF(esquerda, painelDesvio.top() - alturaTitulo, largura, alturaTitulo),
               Qt::AlignLeft | Qt::AlignVCenter, textoDesvio);
    for (int v : {0, 50, 100}) {
        p.setPen(QPen(corGrade, 1));
        p.drawLine(QPointF(esquerda, yPrecisao(v)), QPointF(esquerda + largura, yPrecisao(v)));
        p.setPen(corTexto);
        p.drawText(QRectF(0, yPrecisao(v) - 8, esquerda - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1%").arg(v));
    }
    for (double v : {-limiteDesvio, 0.0, limiteDesvio}) {
        p.setPen(QPen(v == 0 ? corTexto.lighter(180) : corGrade, 1));
        p.drawLine(QPointF(esquerda, yDesvio(v)), QPointF(esquerda + largura, yDesvio(v)));
        p.setPen(corTexto);
        p.drawText(QRectF(0, yDesvio(v) - 8, esquerda - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   v > 0 ? QStringLiteral("+%1").arg(v) : QString::number(v));
    }
    p.drawText(QRectF(esquerda, height() - alturaDatas, largura, alturaDatas), Qt::AlignLeft | Qt::AlignVCenter,
               primeiraData);
    if (precisoes.size() > 1)
        p.drawText(QRectF(esquerda, height() - alturaDatas, largura, alturaDatas), Qt::AlignRight | Qt::AlignVCenter,
                   ultimaData);

    auto desenhar = [&](const std::vector<float> &valores, const QColor &cor, auto &&y) {
        const std::vector<Coluna> pontos = colunas(valores, esquerda, largura);
        QPolygonF linha;
        linha.reserve(static_cast<qsizetype>(pontos.size()));
        for (const Coluna &c : pontos)
            linha.append(QPointF(c.x, y(c.valor)));
        // With a column per pixel the line is drawn one pixel wide: a thin cosmetic pen
        // takes the raster engine's line path, where a wider one strokes an outline of the
        // whole zigzag (over 100 ms for 10,000 runs).
        QPen caneta(cor, pontos.size() < valores.size() ? 1 : 2);
        caneta.setCosmetic(true);
        p.setPen(caneta);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(linha);
        // Dots while each run still has room of its own.
        if (pontos.size() <= 60) {
            p.setBrush(cor);
            for (const Coluna &c : pontos)
                p.drawEllipse(QPointF(c.x, y(c.valor)), 3, 3);
        }
    };
    desenhar(precisoes, corPrecisao, yPrecisao);
    desenhar(desvios, corDesvio, yDesvio);

    // The best run: a gold ring on the accuracy line.
    if (melhor >= 0 && melhor < static_cast<int>(precisoes.size())) {
        const double x = precisoes.size() == 1
                             ? esquerda + largura / 2
                             : esquerda + largura * melhor / static_cast<double>(precisoes.size() - 1);
        p.setPen(QPen(corMelhor, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(x, yPrecisao(precisoes[melhor])), 6, 6);
    }
}
