#include "platform/PastaAplicacao.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString &pastaDefinida()
{
    static QString pasta;
    return pasta;
}
}

QString PastaAplicacao::caminho()
{
    if (!pastaDefinida().isEmpty())
        return pastaDefinida();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (command-line tools) ask the kernel.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

QString PastaAplicacao::arquivo(const QString &nome)
{
    QString pasta = caminho();
    while (pasta.endsWith(QLatin1Char('/')) && pasta.size() > 1)
        pasta.chop(1);
    QString resto = nome;
    while (resto.startsWith(QLatin1Char('/')))
        resto.remove(0, 1);
    return pasta + QLatin1Char('/') + resto;
}

void PastaAplicacao::definir(const QString &pasta)
{
    pastaDefinida() = pasta;
}
