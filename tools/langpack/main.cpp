// Packs one language for the player: reads its text source (UTF-8, in the
// language-file format) and its pictures, and writes the ".idm" text file in
// Windows-1252 with CR LF line ends and the ".dat" picture file.
//
// A value "@name" in the source is a picture: the packer appends name.jpg from
// the pictures folder to the ".dat" file and writes "offset,length" in its place.
// With --placeholders it makes a plain picture of the size keys.txt gives instead.
//
// Usage: tamborly_langpack --keys keys.txt --source English.txt
//            (--pictures DIR | --placeholders) --idm OUT.idm --dat OUT.dat

#include "tools/jpeg/CodificadorJpeg.h"
#include "platform/Windows1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

struct Chave {
    QString secao;
    QString chave;
    int largura = 0;  // pictures only
    int altura = 0;
};

[[noreturn]] void falhar(const QString &mensagem)
{
    std::fprintf(stderr, "tamborly_langpack: %s\n", qPrintable(mensagem));
    std::exit(1);
}

QByteArray lerArquivo(const QString &caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        falhar(QStringLiteral("cannot read %1: %2").arg(caminho, arquivo.errorString()));
    return arquivo.readAll();
}

void gravarArquivo(const QString &caminho, const QByteArray &bytes)
{
    QSaveFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(bytes) != bytes.size() || !arquivo.commit())
        falhar(QStringLiteral("cannot write %1: %2").arg(caminho, arquivo.errorString()));
}

// keys.txt: "section key" per line, "section key picture WxH" for a picture;
// "#" starts a comment line.
QList<Chave> lerChaves(const QString &caminho)
{
    QList<Chave> chaves;
    int numero = 0;
    for (const QString &linha : QString::fromUtf8(lerArquivo(caminho)).split(QLatin1Char('\n'))) {
        ++numero;
        const QString limpa = linha.trimmed();
        if (limpa.isEmpty() || limpa.startsWith(QLatin1Char('#')))
            continue;
        const QStringList partes = limpa.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Chave c;
        if (partes.size() == 2) {
            c = {partes[0], partes[1]};
        } else if (partes.size() == 4 && partes[2] == QLatin1String("picture")) {
            const QStringList medida = partes[3].split(QLatin1Char('x'));
            bool ok1 = false, ok2 = false;
            c = {partes[0], partes[1]};
            if (medida.size() == 2) {
                c.largura = medida[0].toInt(&ok1);
                c.altura = medida[1].toInt(&ok2);
            }
            if (!ok1 || !ok2 || c.largura <= 0 || c.altura <= 0)
                falhar(QStringLiteral("%1:%2: bad picture size").arg(caminho).arg(numero));
        } else {
            falhar(QStringLiteral("%1:%2: expected \"section key [picture WxH]\"").arg(caminho).arg(numero));
        }
        chaves.append(c);
    }
    return chaves;
}

QString identificador(const QString &secao, const QString &chave)
{
    return secao + QLatin1Char('\n') + chave;
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> opcoes;
    bool marcadores = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--placeholders")) {
            marcadores = true;
        } else if (args[i].startsWith(QLatin1String("--")) && i + 1 < args.size()) {
            opcoes.insert(args[i].mid(2), args[i + 1]);
            ++i;
        } else {
            falhar(QStringLiteral("unexpected argument %1").arg(args[i]));
        }
    }
    for (const char *necessaria : {"keys", "source", "idm", "dat"})
        if (!opcoes.contains(QString::fromLatin1(necessaria)))
            falhar(QStringLiteral("missing --%1").arg(QString::fromLatin1(necessaria)));
    if (!marcadores && !opcoes.contains(QStringLiteral("pictures")))
        falhar(QStringLiteral("give --pictures DIR or --placeholders"));

    const QString fonte = opcoes.value(QStringLiteral("source"));
    const QList<Chave> chaves = lerChaves(opcoes.value(QStringLiteral("keys")));
    QHash<QString, Chave> porIdentificador;
    for (const Chave &c : chaves)
        porIdentificador.insert(identificador(c.secao, c.chave), c);

    const QByteArray bruto = lerArquivo(fonte);
    const QString texto = QString::fromUtf8(bruto);
    if (texto.toUtf8() != bruto)
        falhar(QStringLiteral("%1 is not valid UTF-8").arg(fonte));

    QStringList saida;
    QByteArray imagens;
    QHash<QString, QString> valores;  // first value of each (section, key), as the player reads it
    QString secao;
    int numero = 0;
    QString fonteNormalizada = texto;
    fonteNormalizada.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QString linha : fonteNormalizada.split(QLatin1Char('\n'))) {
        ++numero;
        if (linha.endsWith(QLatin1Char('\r')))
            linha.chop(1);
        if (Windows1252::decodificar(Windows1252::codificar(linha)) != linha)
            falhar(QStringLiteral("%1:%2: text outside Windows-1252").arg(fonte).arg(numero));
        const QString limpa = linha.trimmed();
        if (limpa.startsWith(QLatin1Char('['))) {
            secao = limpa.mid(1, limpa.size() - 2);
            saida.append(linha);
            continue;
        }
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual < 0) {
            saida.append(linha);
            continue;
        }
        const QString chave = linha.left(igual);
        QString valor = linha.mid(igual + 1);
        const QString id = identificador(secao, chave);
        if (valor.startsWith(QLatin1Char('@'))) {
            const QString nome = valor.mid(1).trimmed();
            const Chave c = porIdentificador.value(id);
            QByteArray jpeg;
            if (marcadores) {
                if (c.largura <= 0)
                    falhar(QStringLiteral("%1:%2: keys.txt gives no picture size for %3").arg(fonte).arg(numero).arg(chave));
                // Plain placeholders, until the artwork supplies pictures with words.
                jpeg = CodificadorJpeg::cor(c.largura, c.altura, 72, 113, 192);
            } else {
                jpeg = lerArquivo(opcoes.value(QStringLiteral("pictures")) + QLatin1Char('/') + nome + QStringLiteral(".jpg"));
            }
            if (jpeg.size() < 4 || static_cast<unsigned char>(jpeg[0]) != 0xFF || static_cast<unsigned char>(jpeg[1]) != 0xD8)
                falhar(QStringLiteral("%1:%2: picture %3 is not a JPEG file").arg(fonte).arg(numero).arg(nome));
            valor = QStringLiteral("%1,%2").arg(imagens.size()).arg(jpeg.size());
            imagens.append(jpeg);
            linha = chave + QLatin1Char('=') + valor;
        }
        if (!valores.contains(id))
            valores.insert(id, valor.trimmed());
        saida.append(linha);
    }

    QStringList faltando;
    for (const Chave &c : chaves)
        if (valores.value(identificador(c.secao, c.chave)).isEmpty())
            faltando.append(QStringLiteral("(%1, %2)").arg(c.secao, c.chave));
    if (!faltando.isEmpty())
        falhar(QStringLiteral("%1 lacks %2").arg(fonte, faltando.join(QStringLiteral(", "))));

    while (!saida.isEmpty() && saida.last().isEmpty())
        saida.removeLast();
    gravarArquivo(opcoes.value(QStringLiteral("dat")), imagens);
    gravarArquivo(opcoes.value(QStringLiteral("idm")), Windows1252::codificar(saida.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    return 0;
}
