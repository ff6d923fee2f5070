#include "tools/render/ListaFiguras.h"

#include "kit/TabelaBateria.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {

bool retanguloDoKit(const QString &nome, QRect &retangulo)
{
    for (const PecaBateria &peca : tabelaBateria) {
        if (nome == QLatin1String(peca.nome.data(), qsizetype(peca.nome.size()))) {
            retangulo = QRect(peca.esquerda, peca.topo, peca.largura, peca.altura);
            return true;
        }
    }
    return false;
}

QStringList ids(const QString &texto)
{
    if (texto == QLatin1String("-"))
        return {};
    return texto.split(QLatin1Char('+'), Qt::SkipEmptyParts);
}

}

bool ListaFiguras::ler(const QString &caminho, QList<Figura> &figuras, QString &erro)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        erro = caminho + QStringLiteral(": cannot read the picture list");
        return false;
    }
    QSet<QString> nomes;
    int numero = 0;
    static const QRegularExpression espacos(QStringLiteral("\\s+"));
    while (!arquivo.atEnd()) {
        ++numero;
        QString linha = QString::fromUtf8(arquivo.readLine());
        const qsizetype comentario = linha.indexOf(QLatin1Char('#'));
        if (comentario >= 0)
            linha.truncate(comentario);
        const QStringList campos = linha.trimmed().split(espacos, Qt::SkipEmptyParts);
        if (campos.isEmpty())
            continue;
        const QString onde = QStringLiteral("%1:%2: ").arg(caminho).arg(numero);
        if (campos.size() < 3) {
            erro = onde + QStringLiteral("expected: name state rectangle [mask=ids] [png]");
            return false;
        }
        Figura figura;
        figura.nome = campos[0];
        figura.estado = ids(campos[1]);
        figura.linha = numero;
        if (nomes.contains(figura.nome)) {
            erro = onde + QStringLiteral("picture \"") + figura.nome + QStringLiteral("\" listed twice");
            return false;
        }
        nomes.insert(figura.nome);
        const QString &ret = campos[2];
        if (ret == QLatin1String("kit")) {
            if (!retanguloDoKit(figura.nome, figura.retangulo)) {
                erro = onde + QStringLiteral("\"") + figura.nome + QStringLiteral("\" is not in the kit table");
                return false;
            }
        } else if (ret == QLatin1String("sheet")) {
            figura.retangulo = QRect();  // filled in by the caller from the sheet's size
        } else {
            const QStringList n = ret.split(QLatin1Char(','));
            bool ok = n.size() == 4;
            int v[4] = {};
            for (int i = 0; ok && i < 4; ++i)
                v[i] = n[i].toInt(&ok);
            if (!ok || v[2] <= 0 || v[3] <= 0) {
                erro = onde + QStringLiteral("bad rectangle \"") + ret + QStringLiteral("\" (x,y,w,h)");
                return false;
            }
            figura.retangulo = QRect(v[0], v[1], v[2], v[3]);
        }
        for (int i = 3; i < campos.size(); ++i) {
            if (campos[i].startsWith(QLatin1String("mask=")))
                figura.mascara = ids(campos[i].mid(5));
            else if (campos[i] == QLatin1String("png"))
                figura.png = true;
            else {
                erro = onde + QStringLiteral("unknown option \"") + campos[i] + QStringLiteral("\"");
                return false;
            }
        }
        figuras.append(figura);
    }
    return true;
}

QStringList ListaFiguras::saidas(const QList<Figura> &figuras, const QString &saida)
{
    QStringList arquivos;
    for (const Figura &figura : figuras) {
        const QString base = saida + QLatin1Char('/') + figura.nome;
        if (figura.png) {
            arquivos.append(base + QStringLiteral(".png"));
            continue;
        }
        arquivos.append(base + QStringLiteral(".jpg"));
        if (!figura.mascara.isEmpty())
            arquivos.append(base + QStringLiteral(".mask.png"));
    }
    return arquivos;
}

QStringList ListaFiguras::renders(const QList<Figura> &figuras, const QString &pasta)
{
    QStringList arquivos;
    for (const Figura &figura : figuras) {
        const QString arquivo = pasta + QLatin1Char('/') + nomeDoEstado(figura.estado) + QStringLiteral(".png");
        if (!arquivos.contains(arquivo))
            arquivos.append(arquivo);
    }
    return arquivos;
}

QString ListaFiguras::nomeDoEstado(const QStringList &estado)
{
    if (estado.isEmpty())
        return QStringLiteral("rest");
    QString nome = estado.join(QLatin1Char('+'));
    nome.replace(QLatin1Char('!'), QLatin1String("not-"));
    return nome;
}
