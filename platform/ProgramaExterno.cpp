#include "platform/ProgramaExterno.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QString ProgramaExterno::localizar(const QString &programa)
{
    if (programa.isEmpty())
        return {};
    if (programa.contains(QLatin1Char('/'))) {
        const QFileInfo info(programa);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(programa);
}

bool ProgramaExterno::iniciar(const QString &programa, const QStringList &argumentos)
{
    const QString caminho = localizar(programa);
    if (caminho.isEmpty())
        return false;
    return QProcess::startDetached(caminho, argumentos);
}
