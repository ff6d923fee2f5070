#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The driver library's capture file, which the suites read to see what was put to
// each device: one line "microseconds device status data1 data2 [due]" per message,
// the sixth field (when the message is to sound) absent from older files.
class CapturaMidi {
public:
    struct Linha {
        qint64 tempo;  // microseconds of the library's monotonic clock
        int dispositivo;
        int status;
        int dado1;
        int dado2;
        qint64 devido = 0;  // when it is to sound; the put time when the line has no sixth field
    };

    // Points the library at the capture file and its capture-only devices ("!" = refuses
    // to open), with silent audio unless the run chose a backend. The library reads its
    // environment once, when it first loads, so this must come before that.
    static void configurar(const QString &arquivo, const QByteArray &dispositivos);
    // Position past the messages captured so far.
    static qint64 marca(const QString &arquivo);
    // The messages captured from the position on, to every device; lines cut short are skipped.
    static QList<Linha> ler(const QString &arquivo, qint64 inicio = 0);
};
