#include "platform/Navegador.h"

#include "platform/PastaAplicacao.h"

#include <QDesktopServices>
#include <QDir>
#include <QRegularExpression>

QUrl Navegador::endereco(const QString &documento)
{
    if (documento.isEmpty())
        return {};
    static const QRegularExpression esquema(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (esquema.match(documento).hasMatch()
        || documento.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return QUrl(documento);
    const QString caminho = QDir::isAbsolutePath(documento) ? documento : PastaAplicacao::arquivo(documento);
    return QUrl::fromLocalFile(QDir::cleanPath(caminho));
}

bool Navegador::abrir(const QString &documento)
{
    const QUrl url = endereco(documento);
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}
