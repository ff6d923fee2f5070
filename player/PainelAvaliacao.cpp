#include "player/PainelAvaliacao.h"

#include "engine/Sequenciador.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/Utilgui.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 duracaoMarcaMs = 900;
constexpr int alturaFaixa = 24;

QString texto(const char *chave)
{
    return GerenciadorIdiomas::textoDeRotulo("avaliacao", chave);
}

QColor corDaNota(Avaliador::Nota nota)
{
    switch (nota) {
    case Avaliador::Nota::perfeito:
        return QColor(0x1f, 0xa8, 0x4f);
    case Avaliador::Nota::bom:
        return QColor(0x2b, 0x7b, 0xd6);
    case Avaliador::Nota::ok:
        return QColor(0xe0, 0x8a, 0x10);
    case Avaliador::Nota::perdido:
        return QColor(0xd6, 0x2a, 0x2a);
    case Avaliador::Nota::extra:
        break;
    }
    return QColor(0x80, 0x80, 0x80);
}

QString milissegundos(double valor)
{
    return QString::number(std::lround(std::abs(valor)));
}

}  // namespace

PainelAvaliacao::PainelAvaliacao(QWidget *painelKit) : QWidget(painelKit), animacao(new QTimer(this))
{
    setObjectName(QStringLiteral("PainelAvaliacao"));
    setGeometry(0, 0, painelKit->width(), painelKit->height());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    relogio.start();
    animacao->setInterval(33);
    connect(animacao, &QTimer::timeout, this, &PainelAvaliacao::animar);
    btnProgresso = new QPushButton(
        GerenciadorIdiomas::texto("frmProgresso", "btnProgresso"), this);
    // Never focused: Space and the other drum keys must play the kit, not press the button.
    btnProgresso->setFocusPolicy(Qt::NoFocus);
    btnProgresso->setCursor(Qt::PointingHandCursor);
    btnProgresso->hide();
    connect(btnProgresso, &QPushButton::clicked, this, [this] {
        fecharResultado();
        if (aoPedirProgresso)
            aoPedirProgresso();
    });
    raise();
    show();
}

QPoint PainelAvaliacao::posicaoDaNota(int32_t nota)
{
    // Centres of the struck pictures of the kit (the kit panel's coordinates).
    switch (nota) {
    case 35:
    case 36:
        return {274, 300};
    case 37:
    case 38:
    case 40:
        return {180, 196};
    case 42:
    case 44:
    case 46:
    case 54:
        return {95, 150};
    case 41:
        return {487, 213};
    case 43:
        return {398, 192};
    case 45:
    case 47:
        return {321, 132};
    case 48:
    case 50:
        return {239, 133};
    case 49:
    case 52:
    case 53:
        return {523, 64};
    case 51:
        return {437, 138};
    case 55:
        return {223, 63};
    case 57:
        return {346, 45};
    case 59:
        return {123, 40};
    default:
        return {560, 330};  // a drum the kit has no picture for
    }
}

QString PainelAvaliacao::textoDaMarca(const Avaliador::Marca &marca)
{
    switch (marca.tipo) {
    case Avaliador::Nota::perfeito:
        return texto("noTempo");
    case Avaliador::Nota::bom:
    case Avaliador::Nota::ok:
        return texto(marca.desvioMs < 0 ? "adiantado" : "atrasado").arg(milissegundos(marca.desvioMs));
    case Avaliador::Nota::perdido:
        return texto("perdido");
    case Avaliador::Nota::extra:
        break;
    }
    return QStringLiteral("+");
}

QString PainelAvaliacao::nomeDaFamilia(int32_t familia)
{
    switch (familia) {
    case 35:
        return texto("familia35");
    case 37:
        return texto("familia37");
    case 42:
        return texto("familia42");
    case 49:
        return texto("familia49");
    case 51:
        return texto("familia51");
    case 41:
    case 43:
    case 45:
    case 47:
    case 48:
    case 50:
        return texto("tom").arg(familia);
    default:
        return texto("outra").arg(familia);
    }
}

void PainelAvaliacao::mostrarMarca(const Avaliador::Marca &marca)
{
    marcas.push_back({marca, relogio.elapsed()});
    if (!animacao->isActive())
        animacao->start();
    update();
}

void PainelAvaliacao::atualizarFaixa(const ResultadoAvaliacao &parcial, int32_t sequencia)
{
    QString desvio = texto("noPulso");
    if (!parcial.desviosMs.empty() && std::lround(parcial.desvioMedioMs) != 0)
        desvio = texto(parcial.desvioMedioMs < 0 ? "correndo" : "arrastando").arg(milissegundos(parcial.desvioMedioMs));
    const QString precisao = parcial.esperados > 0 ? QString::number(std::lround(parcial.precisao())) : QStringLiteral("–");
    faixa = texto("precisao").arg(precisao) + QStringLiteral("     ") + texto("sequencia").arg(sequencia)
            + QStringLiteral("     ") + desvio;
    // A slowed-down (or sped-up) run says so, since its timing is at that speed.
    const long velocidade = std::lround(Sequenciador::instancia().getFatorVelocidade() * 100.0);
    if (velocidade != 100)
        faixa += QStringLiteral("     ")
                 + GerenciadorIdiomas::texto("frmPratica", "velocidadeFaixa").arg(velocidade);
    update(0, 0, width(), alturaFaixa + 4);
}

void PainelAvaliacao::mostrarResultado(const ResultadoAvaliacao &novo)
{
    resultado = novo;
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    // Bottom left of the results box, across from the close hint.
    btnProgresso->adjustSize();
    btnProgresso->move(48 + 18, height() - 22 - 12 - btnProgresso->height());
    btnProgresso->show();
    update();
}

void PainelAvaliacao::fecharResultado()
{
    if (!resultado)
        return;
    resultado.reset();
    btnProgresso->hide();
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    update();
}

void PainelAvaliacao::limpar()
{
    marcas.clear();
    faixa.clear();
    animacao->stop();
    fecharResultado();
    update();
}

void PainelAvaliacao::animar()
{
    const qint64 agora = relogio.elapsed();
    marcas.erase(std::remove_if(marcas.begin(), marcas.end(),
                                [agora](const MarcaViva &m) { return agora - m.inicio > duracaoMarcaMs; }),
                 marcas.end());
    if (marcas.empty())
        animacao->stop();
    update();
}

void PainelAvaliacao::mousePressEvent(QMouseEvent *evento)
{
    if (resultado) {
        fecharResultado();
        evento->accept();
        return;
    }
    QWidget::mousePressEvent(evento);
}

void PainelAvaliacao::paintEvent(QPaintEvent *)
{
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    desenharMarcas(pintor);
    desenharFaixa(pintor);
    desenharResultado(pintor);
}

void PainelAvaliacao::desenharMarcas(QPainter &pintor)
{
    const qint64 agora = relogio.elapsed();
    pintor.setFont(Utilgui::fonte(12, true));
    for (const MarcaViva &viva : marcas) {
        const double idade = std::clamp(double(agora - viva.inicio) / duracaoMarcaMs, 0.0, 1.0);
        const QColor cor = corDaNota(viva.marca.tipo);
        const QPoint centro = posicaoDaNota(viva.marca.nota);
        pintor.setOpacity(1.0 - idade * idade);
        if (viva.marca.tipo == Avaliador::Nota::perdido) {
            // A miss flashes as a ring on its drum.
            const double raio = 14 + 18 * idade;
            pintor.setPen(QPen(cor, 4));
            pintor.setBrush(Qt::NoBrush);
            pintor.drawEllipse(QPointF(centro), raio, raio);
        }
        const QString rotulo = textoDaMarca(viva.marca);
        const QFontMetrics medidas(pintor.font());
        const int largura = medidas.horizontalAdvance(rotulo) + 14;
        // Marks rise a little as they fade, so a quick second stroke stays readable.
        const QRectF caixa(centro.x() - largura / 2.0, centro.y() - 11 - 16 * idade, largura, 22);
        pintor.setPen(Qt::NoPen);
        pintor.setBrush(cor);
        pintor.drawRoundedRect(caixa, 9, 9);
        pintor.setPen(Qt::white);
        pintor.drawText(caixa, Qt::AlignCenter, rotulo);
    }
    pintor.setOpacity(1.0);
}

void PainelAvaliacao::desenharFaixa(QPainter &pintor)
{
    if (faixa.isEmpty())
        return;
    const QRectF caixa(4, 3, width() - 8, alturaFaixa);
    pintor.setPen(Qt::NoPen);
    pintor.setBrush(QColor(20, 24, 32, 200));
    pintor.drawRoundedRect(caixa, 8, 8);
    pintor.setFont(Utilgui::fonte(13, true));
    pintor.setPen(Qt::white);
    pintor.drawText(caixa, Qt::AlignCenter, faixa);
}

void PainelAvaliacao::desenharResultado(QPainter &pintor)
{
    if (!resultado)
        return;
    const ResultadoAvaliacao &r = *resultado;
    const QRectF caixa(48, 34, width() - 96, height() - 56);
    pintor.setPen(QPen(QColor(255, 255, 255, 60), 1));
    pintor.setBrush(QColor(20, 24, 32, 235));
    pintor.drawRoundedRect(caixa, 12, 12);

    const double esquerda = caixa.left() + 22;
    double y = caixa.top() + 30;
    pintor.setPen(Qt::white);
    pintor.setFont(Utilgui::fonte(17, true));
    pintor.drawText(QPointF(esquerda, y), texto("titulo"));
    pintor.setFont(Utilgui::fonte(22, true));
    pintor.drawText(QRectF(caixa.right() - 160, caixa.top() + 10, 140, 30), Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("%1 %").arg(std::lround(r.precisao())));

    // Counts, two columns.
    pintor.setFont(Utilgui::fonte(13));
    const struct {
        const char *chave;
        QString valor;
        QColor cor;
    } linhas[] = {
        {"esperados", QString::number(r.esperados), Qt::white},
        {"perfeitos", QString::number(r.perfeitos), corDaNota(Avaliador::Nota::perfeito)},
        {"bons", QString::number(r.bons), corDaNota(Avaliador::Nota::bom)},
        {"ok", QString::number(r.ok), corDaNota(Avaliador::Nota::ok)},
        {"perdidos", QString::number(r.perdidos), corDaNota(Avaliador::Nota::perdido)},
        {"extras", QString::number(r.extras), QColor(0xb0, 0xb0, 0xb0)},
        {"media", QStringLiteral("%1 ms").arg(r.desvioMedioMs, 0, 'f', 1), Qt::white},
        {"dispersao", QStringLiteral("%1 ms").arg(r.dispersaoMs, 0, 'f', 1), Qt::white},
    };
    y += 34;  // below the title row and its big accuracy figure
    for (size_t i = 0; i < std::size(linhas); ++i) {
        const double coluna = esquerda + (i < 4 ? 0 : 150);
        const double linha = y + 20 * double(i % 4);
        pintor.setPen(QColor(0xc8, 0xcc, 0xd4));
        pintor.drawText(QRectF(coluna, linha, 100, 20), Qt::AlignLeft | Qt::AlignVCenter, texto(linhas[i].chave));
        pintor.setPen(linhas[i].cor);
        pintor.drawText(QRectF(coluna + 90, linha, 50, 20), Qt::AlignRight | Qt::AlignVCenter, linhas[i].valor);
    }

    // Accuracy per drum family, as bars.
    const double xFamilias = esquerda + 320;
    double yFamilia = y;
    pintor.setPen(QColor(0xc8, 0xcc, 0xd4));
    pintor.setFont(Utilgui::fonte(12, true));
    pintor.drawText(QPointF(xFamilias, yFamilia - 4), texto("porFamilia"));
    pintor.setFont(Utilgui::fonte(11));
    for (const auto &[familia, contagem] : r.familias) {
        if (yFamilia > y + 130)
            break;
        const double fracao = contagem.esperados > 0 ? double(contagem.acertos) / contagem.esperados : 0.0;
        pintor.setPen(QColor(0xc8, 0xcc, 0xd4));
        pintor.drawText(QRectF(xFamilias, yFamilia + 2, 80, 16), Qt::AlignLeft | Qt::AlignVCenter,
                        nomeDaFamilia(familia));
        const QRectF trilho(xFamilias + 84, yFamilia + 6, 70, 9);
        pintor.setPen(Qt::NoPen);
        pintor.setBrush(QColor(255, 255, 255, 40));
        pintor.drawRoundedRect(trilho, 4, 4);
        pintor.setBrush(corDaNota(fracao >= 0.9 ? Avaliador::Nota::perfeito
                                  : fracao >= 0.7 ? Avaliador::Nota::bom
                                                  : Avaliador::Nota::ok));
        pintor.drawRoundedRect(QRectF(trilho.left(), trilho.top(), trilho.width() * fracao, trilho.height()), 4, 4);
        pintor.setPen(Qt::white);
        pintor.drawText(QRectF(trilho.right() + 4, yFamilia + 2, 40, 16), Qt::AlignRight | Qt::AlignVCenter,
                        QStringLiteral("%1 %").arg(std::lround(100 * fracao)));
        yFamilia += 18;
    }

    // Early/late histogram: 10 ms bins from -100 to +100 ms.
    const QRectF grafico(esquerda, y + 110, 290, 110);
    int bins[20] = {};
    for (double d : r.desviosMs)
        ++bins[std::clamp(int(std::floor((d + 100.0) / 10.0)), 0, 19)];
    const int maior = std::max(1, *std::max_element(std::begin(bins), std::end(bins)));
    const double largura = grafico.width() / 20;
    pintor.setPen(Qt::NoPen);
    for (int b = 0; b < 20; ++b) {
        const double altura = (grafico.height() - 18) * bins[b] / maior;
        const bool perfeito = b >= 7 && b <= 12;
        pintor.setBrush(perfeito ? corDaNota(Avaliador::Nota::perfeito) : corDaNota(Avaliador::Nota::bom));
        pintor.drawRect(QRectF(grafico.left() + b * largura + 1, grafico.bottom() - 18 - altura, largura - 2, altura));
    }
    pintor.setPen(QColor(255, 255, 255, 120));
    const double meio = grafico.left() + grafico.width() / 2;
    pintor.drawLine(QPointF(meio, grafico.top()), QPointF(meio, grafico.bottom() - 16));
    pintor.setFont(Utilgui::fonte(11));
    pintor.setPen(QColor(0xc8, 0xcc, 0xd4));
    pintor.drawText(QRectF(grafico.left(), grafico.bottom() - 16, 100, 16), Qt::AlignLeft, QStringLiteral("-100 ") + texto("cedo"));
    pintor.drawText(QRectF(meio - 20, grafico.bottom() - 16, 40, 16), Qt::AlignHCenter, QStringLiteral("0"));
    pintor.drawText(QRectF(grafico.right() - 100, grafico.bottom() - 16, 100, 16), Qt::AlignRight, texto("tarde") + QStringLiteral(" +100"));

    pintor.setFont(Utilgui::fonte(11));
    pintor.setPen(QColor(0x9a, 0xa0, 0xaa));
    pintor.drawText(QRectF(caixa.left(), caixa.bottom() - 24, caixa.width() - 18, 18), Qt::AlignRight | Qt::AlignVCenter,
                    texto("fechar"));
}
