#include "settings/IdiomaPadrao.h"

#include "platform/Windows1252.h"
#include "settings/DecodificadorJpeg.h"
#include "settings/Idioma.h"

#include <QFile>

namespace {

QByteArray recurso(const QString &nome)
{
    QFile arquivo(nome);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

}  // namespace

const QList<IdiomaPadrao::Chave> &IdiomaPadrao::chaves()
{
    static const QList<Chave> lista = [] {
        QList<Chave> chaves;
        const QString texto = QString::fromUtf8(recurso(QStringLiteral(":/idioma/keys.txt")));
        for (const QString &linha : texto.split(QLatin1Char('\n'))) {
            const QString limpa = linha.trimmed();
            if (limpa.isEmpty() || limpa.startsWith(QLatin1Char('#')))
                continue;
            const QStringList partes = limpa.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (partes.size() >= 2)
                chaves.append({partes[0], partes[1], partes.size() >= 3 && partes[2] == QLatin1String("picture")});
        }
        return chaves;
    }();
    return lista;
}

const Idioma &IdiomaPadrao::ingles()
{
    // The source is UTF-8; a language file is Windows-1252.
    static const Idioma padrao(Windows1252::codificar(QString::fromUtf8(recurso(QStringLiteral(":/idioma/English.txt")))),
                               QString());
    return padrao;
}

bool IdiomaPadrao::completo(Idioma &idioma)
{
    for (const Chave &c : chaves()) {
        const QString valor = idioma.obterTexto(c.secao, c.chave);
        if (valor.isEmpty())
            return false;
        if (c.imagem && DecodificadorJpeg::decodificar(idioma.lerBytesImagem(valor)).isNull())
            return false;
    }
    return true;
}
