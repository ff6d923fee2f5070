#include "platform/PastaAplicacao.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {
QString &pastaDefinida()
{
    static QString pasta;
    return pasta;
}

std::optional<bool> &gravavelDefinido()
{
    static std::optional<bool> valor;
    return valor;
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

bool PastaAplicacao::gravavel()
{
    if (gravavelDefinido())
        return *gravavelDefinido();
    if (qgetenv("TAMBORLY_APP_DIR_READ_ONLY") == "1")
        return false;
    // access() asks the kernel with this user's rights, read-only mounts included;
    // creating a file is what a save does (a temporary file, then a rename).
    return ::access(QFile::encodeName(caminho()).constData(), W_OK | X_OK) == 0;
}

void PastaAplicacao::definirGravavel(std::optional<bool> valor)
{
    gravavelDefinido() = valor;
}

QString PastaAplicacao::pastaUsuario()
{
    // Qt applies the XDG rules: an unset or relative XDG_CONFIG_HOME means ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tamborly");
}

QString PastaAplicacao::arquivoConfiguracaoGravado(const QString &nome)
{
    if (gravavel())
        return arquivo(nome);
    return pastaUsuario() + QLatin1Char('/') + nome;
}

QString PastaAplicacao::arquivoConfiguracaoLido(const QString &nome)
{
    const QString gravado = arquivoConfiguracaoGravado(nome);
    if (gravavel() || QFileInfo::exists(gravado))
        return gravado;
    return arquivo(nome);
}
