#include "tools/render/FolhaSvg.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

QString escaparXml(const QString &texto)
{
    QString s = texto;
    s.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    s.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    s.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    s.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return s;
}

// Rewrites the display attribute of the elements a state names. Children of the
// root other than <defs> are hidden too when only the state's elements are wanted.
QByteArray aplicarEstado(const QByteArray &svg, const QSet<QString> &mostrar,
                         const QSet<QString> &esconder, bool somente, bool &ok)
{
    QXmlStreamReader leitor(svg);
    QByteArray saida;
    QXmlStreamWriter escritor(&saida);
    int profundidade = 0;
    while (!leitor.atEnd()) {
        leitor.readNext();
        if (leitor.hasError())
            break;
        if (leitor.isStartElement()) {
            ++profundidade;
            const QString id = leitor.attributes().value(QLatin1String("id")).toString();
            const bool mostra = !id.isEmpty() && mostrar.contains(id);
            bool esconde = !id.isEmpty() && esconder.contains(id);
            if (somente && profundidade == 2 && !mostra && leitor.name() != QLatin1String("defs"))
                esconde = true;
            if (!mostra && !esconde) {
                escritor.writeCurrentToken(leitor);
                continue;
            }
            escritor.writeStartElement(leitor.namespaceUri().toString(), leitor.name().toString());
            for (const auto &ns : leitor.namespaceDeclarations())
                escritor.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
            for (const auto &atributo : leitor.attributes()) {
                if (atributo.name() != QLatin1String("display"))
                    escritor.writeAttribute(atributo);
            }
            escritor.writeAttribute(QStringLiteral("display"), mostra ? QStringLiteral("inline") : QStringLiteral("none"));
            continue;
        }
        if (leitor.isEndElement())
            --profundidade;
        escritor.writeCurrentToken(leitor);
    }
    ok = !leitor.hasError();
    return saida;
}

}

bool FolhaSvg::carregar(const QString &arquivo, const QHash<QString, QString> &palavras, QString &erro)
{
    caminho = arquivo;
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) {
        erro = arquivo + QStringLiteral(": cannot read the sheet");
        return false;
    }
    QString svg = QString::fromUtf8(f.readAll());
    static const QRegularExpression marcador(QStringLiteral("\\{\\{([A-Za-z0-9_]+)\\}\\}"));
    QString resultado;
    qsizetype ultimo = 0;
    for (auto it = marcador.globalMatch(svg); it.hasNext();) {
        const auto m = it.next();
        const QString chave = m.captured(1);
        if (!palavras.contains(chave)) {
            erro = arquivo + QStringLiteral(": no word for {{") + chave + QStringLiteral("}} (add it to the words file)");
            return false;
        }
        resultado += svg.mid(ultimo, m.capturedStart() - ultimo);
        resultado += escaparXml(palavras.value(chave));
        ultimo = m.capturedEnd();
    }
    resultado += svg.mid(ultimo);
    texto = resultado.toUtf8();

    QXmlStreamReader leitor(texto);
    while (!leitor.atEnd()) {
        leitor.readNext();
        if (leitor.isStartElement()) {
            const QString id = leitor.attributes().value(QLatin1String("id")).toString();
            if (!id.isEmpty())
                ids.append(id);
        }
    }
    if (leitor.hasError()) {
        erro = QStringLiteral("%1:%2: %3").arg(arquivo).arg(leitor.lineNumber()).arg(leitor.errorString());
        return false;
    }
    QSvgRenderer renderizador(texto);
    if (!renderizador.isValid()) {
        erro = arquivo + QStringLiteral(": Qt SVG cannot draw this sheet");
        return false;
    }
    tamanhoFolha = renderizador.defaultSize();
    if (renderizador.viewBoxF().size().toSize() != tamanhoFolha) {
        erro = arquivo + QStringLiteral(": the viewBox must equal width and height (1 unit = 1 pixel)");
        return false;
    }
    return true;
}

bool FolhaSvg::estadoValido(const QStringList &estado, QString &erro) const
{
    for (QString id : estado) {
        if (id.startsWith(QLatin1Char('!')))
            id.remove(0, 1);
        if (!ids.contains(id)) {
            erro = caminho + QStringLiteral(": no element with id \"") + id + QStringLiteral("\"");
            return false;
        }
    }
    return true;
}

QImage FolhaSvg::desenhar(const QStringList &estado, bool somente, bool &ok)
{
    QSet<QString> mostrar;
    QSet<QString> esconder;
    for (const QString &id : estado) {
        if (id.startsWith(QLatin1Char('!')))
            esconder.insert(id.mid(1));
        else
            mostrar.insert(id);
    }
    const QByteArray svg = aplicarEstado(texto, mostrar, esconder, somente, ok);
    QImage imagem(tamanhoFolha, QImage::Format_ARGB32_Premultiplied);
    imagem.fill(somente ? Qt::transparent : Qt::white);
    QSvgRenderer renderizador(svg);
    QPainter pintor(&imagem);
    pintor.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    renderizador.render(&pintor, QRectF(QPointF(0, 0), QSizeF(tamanhoFolha)));
    pintor.end();
    ok = ok && renderizador.isValid();
    return imagem;
}

QImage FolhaSvg::renderizar(const QStringList &estado)
{
    const QString chave = estado.join(QLatin1Char(','));
    auto it = cache.constFind(chave);
    if (it != cache.constEnd())
        return *it;
    bool ok = true;
    QImage imagem = desenhar(estado, false, ok);
    if (!ok)
        return {};
    cache.insert(chave, imagem);
    return imagem;
}

QImage FolhaSvg::renderizarSomente(const QStringList &estado)
{
    bool ok = true;
    QImage imagem = desenhar(estado, true, ok);
    return ok ? imagem : QImage();
}
