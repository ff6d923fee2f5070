// tamborly-render: cuts the pictures of one SVG sheet at exact pixel sizes.
//   tamborly-render --sheet S.svg --list L.pics --out DIR [--words W.txt] [--renders DIR]
// Writes <name>.jpg (or <name>.png) per listed picture and <name>.mask.png where the
// list asks for a mask; --renders also writes every state of the sheet as PNG, for
// the asset checks and for looking at the artwork.

#include "tools/jpeg/CodificadorJpeg.h"
#include "tools/render/FolhaSvg.h"
#include "tools/render/ListaFiguras.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>

namespace {

int falhar(const QString &mensagem)
{
    std::fprintf(stderr, "tamborly-render: %s\n", qPrintable(mensagem));
    return 1;
}

bool lerPalavras(const QString &caminho, QHash<QString, QString> &palavras, QString &erro)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        erro = caminho + QStringLiteral(": cannot read the words file");
        return false;
    }
    int numero = 0;
    while (!arquivo.atEnd()) {
        ++numero;
        const QString linha = QString::fromUtf8(arquivo.readLine()).trimmed();
        if (linha.isEmpty() || linha.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual <= 0) {
            erro = QStringLiteral("%1:%2: expected key = words").arg(caminho).arg(numero);
            return false;
        }
        palavras.insert(linha.left(igual).trimmed(), linha.mid(igual + 1).trimmed());
    }
    return true;
}

bool gravar(const QString &caminho, const QByteArray &bytes)
{
    QSaveFile arquivo(caminho);
    return !bytes.isEmpty() && arquivo.open(QIODevice::WriteOnly) && arquivo.write(bytes) == bytes.size()
           && arquivo.commit();
}

// Quality 0 compresses hardest (the pictures that ship); the full renders only serve
// the checks, so they are written quickly.
QByteArray png(const QImage &imagem, int qualidade = 0)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    imagem.save(&buffer, "PNG", qualidade);
    return bytes;
}

// Colours of a picture drawn through a mask: the layer's own colours where it
// covers, spread a few pixels outwards so that JPEG does not ring at the edges.
QImage coresDaCamada(const QImage &camada, const QImage &fundo)
{
    QImage cores = camada.convertToFormat(QImage::Format_ARGB32);  // unpremultiplied
    const int w = cores.width();
    const int h = cores.height();
    QList<bool> cheio(qsizetype(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            cheio[qsizetype(y) * w + x] = qAlpha(cores.pixel(x, y)) > 0;
    for (int passo = 0; passo < 4; ++passo) {
        QList<bool> proximo = cheio;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (cheio[qsizetype(y) * w + x])
                    continue;
                int r = 0, g = 0, b = 0, n = 0;
                const int dx[] = {-1, 1, 0, 0};
                const int dy[] = {0, 0, -1, 1};
                for (int k = 0; k < 4; ++k) {
                    const int vx = x + dx[k], vy = y + dy[k];
                    if (vx < 0 || vy < 0 || vx >= w || vy >= h || !cheio[qsizetype(vy) * w + vx])
                        continue;
                    const QRgb c = cores.pixel(vx, vy);
                    r += qRed(c), g += qGreen(c), b += qBlue(c), ++n;
                }
                if (n > 0) {
                    cores.setPixel(x, y, qRgba(r / n, g / n, b / n, 0));
                    proximo[qsizetype(y) * w + x] = true;
                }
            }
        }
        cheio = proximo;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!cheio[qsizetype(y) * w + x])
                cores.setPixel(x, y, fundo.pixel(x, y));
    return cores.convertToFormat(QImage::Format_RGB32);
}

QImage alfa(const QImage &camada)
{
    QImage mascara(camada.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < camada.height(); ++y) {
        const auto *origem = reinterpret_cast<const QRgb *>(camada.constScanLine(y));
        uchar *destino = mascara.scanLine(y);
        for (int x = 0; x < camada.width(); ++x)
            destino[x] = uchar(qAlpha(origem[x]));
    }
    return mascara;
}

// Qt's note about a missing runtime folder says nothing about the pictures.
void mensagem(QtMsgType tipo, const QMessageLogContext &, const QString &texto)
{
    if (texto.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(texto));
    if (tipo == QtFatalMsg)
        std::abort();
}

}

int main(int argc, char **argv)
{
    qInstallMessageHandler(mensagem);
    // Fonts need a GUI application; no screen is needed to draw into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aplicacao(argc, argv);

    QString folhaSvg, lista, saida, palavrasArquivo, renders;
    const QStringList argumentos = aplicacao.arguments();
    for (int i = 1; i < argumentos.size(); ++i) {
        const QString &a = argumentos[i];
        const QString valor = i + 1 < argumentos.size() ? argumentos[i + 1] : QString();
        if (a == QLatin1String("--sheet")) folhaSvg = valor, ++i;
        else if (a == QLatin1String("--list")) lista = valor, ++i;
        else if (a == QLatin1String("--out")) saida = valor, ++i;
        else if (a == QLatin1String("--words")) palavrasArquivo = valor, ++i;
        else if (a == QLatin1String("--renders")) renders = valor, ++i;
        else return falhar(QStringLiteral("unknown argument \"") + a + QStringLiteral("\""));
    }
    if (folhaSvg.isEmpty() || lista.isEmpty() || saida.isEmpty())
        return falhar(QStringLiteral("usage: tamborly-render --sheet S.svg --list L.pics --out DIR "
                                     "[--words W.txt] [--renders DIR]"));

    QString erro;
    QHash<QString, QString> palavras;
    if (!palavrasArquivo.isEmpty() && !lerPalavras(palavrasArquivo, palavras, erro))
        return falhar(erro);
    FolhaSvg folha;
    if (!folha.carregar(folhaSvg, palavras, erro))
        return falhar(erro);
    QList<Figura> figuras;
    if (!ListaFiguras::ler(lista, figuras, erro))
        return falhar(erro);
    if (!QDir().mkpath(saida) || (!renders.isEmpty() && !QDir().mkpath(renders)))
        return falhar(QStringLiteral("cannot create the output folders"));

    const QRect areaFolha(QPoint(0, 0), folha.tamanho());
    QStringList estadosGravados;
    for (Figura &figura : figuras) {
        const QString onde = QStringLiteral("%1:%2: ").arg(lista).arg(figura.linha);
        if (figura.retangulo.isNull())
            figura.retangulo = areaFolha;
        if (!areaFolha.contains(figura.retangulo))
            return falhar(onde + figura.nome + QStringLiteral(" lies outside the sheet"));
        if (!folha.estadoValido(figura.estado, erro) || !folha.estadoValido(figura.mascara, erro))
            return falhar(onde + erro);
        const QImage cena = folha.renderizar(figura.estado);
        if (cena.isNull())
            return falhar(onde + QStringLiteral("the sheet cannot be drawn in this state"));
        const QString estado = ListaFiguras::nomeDoEstado(figura.estado);
        if (!renders.isEmpty() && !estadosGravados.contains(estado)) {
            estadosGravados.append(estado);
            if (!gravar(renders + QLatin1Char('/') + estado + QStringLiteral(".png"), png(cena, 90)))
                return falhar(QStringLiteral("cannot write the render of ") + estado);
        }
        QImage cores = cena.copy(figura.retangulo);
        const QString base = saida + QLatin1Char('/') + figura.nome;
        if (!figura.mascara.isEmpty()) {
            const QImage camada = folha.renderizarSomente(figura.mascara).copy(figura.retangulo);
            if (camada.isNull())
                return falhar(onde + QStringLiteral("the mask cannot be drawn"));
            if (figura.png) {
                if (!gravar(base + QStringLiteral(".png"), png(camada.convertToFormat(QImage::Format_ARGB32))))
                    return falhar(onde + QStringLiteral("cannot write ") + base + QStringLiteral(".png"));
                continue;
            }
            if (!gravar(base + QStringLiteral(".mask.png"), png(alfa(camada))))
                return falhar(onde + QStringLiteral("cannot write ") + base + QStringLiteral(".mask.png"));
            cores = coresDaCamada(camada, cores);
        }
        const QByteArray bytes = figura.png ? png(cores) : CodificadorJpeg::codificar(cores);
        const QString arquivo = base + (figura.png ? QStringLiteral(".png") : QStringLiteral(".jpg"));
        if (!gravar(arquivo, bytes))
            return falhar(onde + QStringLiteral("cannot write ") + arquivo);
    }
    return 0;
}
