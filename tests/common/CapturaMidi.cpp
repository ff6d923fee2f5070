#include "CapturaMidi.h"

#include <QFile>

void CapturaMidi::configurar(const QString &arquivo, const QByteArray &dispositivos)
{
    if (qEnvironmentVariableIsEmpty("SNMIDI32_AUDIO"))
        qputenv("SNMIDI32_AUDIO", "null");
    qputenv("SNMIDI32_CAPTURE", QFile::encodeName(arquivo));
    qputenv("SNMIDI32_CAPTURE_DEVICES", dispositivos);
    // The suites expect the library's own output latency.
    qunsetenv("SNMIDI32_LATENCY_MS");
}

qint64 CapturaMidi::marca(const QString &arquivo)
{
    return QFile(arquivo).size();
}

QList<CapturaMidi::Linha> CapturaMidi::ler(const QString &arquivo, qint64 inicio)
{
    QList<Linha> lidas;
    QFile captura(arquivo);
    if (!captura.open(QIODevice::ReadOnly) || !captura.seek(inicio))
        return lidas;
    while (!captura.atEnd()) {
        const QList<QByteArray> campos = captura.readLine().simplified().split(' ');
        if (campos.size() != 5 && campos.size() != 6)
            continue;
        const qint64 tempo = campos[0].toLongLong();
        lidas.append({tempo, campos[1].toInt(), campos[2].toInt(), campos[3].toInt(), campos[4].toInt(),
                      campos.size() == 6 ? campos[5].toLongLong() : tempo});
    }
    return lidas;
}
