#include "platform/VersaoPrograma.h"

#include <QStringList>

QString VersaoPrograma::formatar(const QString &versao)
{
    const QStringList partes = versao.trimmed().split(QLatin1Char('.'));
    if (versao.trimmed().isEmpty() || partes.size() > 4)
        return {};
    QStringList numeros;
    for (const QString &parte : partes) {
        bool ok = false;
        const uint numero = parte.toUInt(&ok);
        if (!ok || parte.isEmpty() || !parte.at(0).isDigit())
            return {};
        numeros.append(QString::number(numero));
    }
    while (numeros.size() < 4)
        numeros.append(QStringLiteral("0"));
    return numeros.join(QLatin1Char('.'));
}

QString VersaoPrograma::texto()
{
#ifdef TAMBORLY_VERSION
    return formatar(QStringLiteral(TAMBORLY_VERSION));
#else
    return {};
#endif
}
