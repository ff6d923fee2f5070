#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of settings, language and MIDI texts.
class Windows1252 {
public:
    static QString decodificar(const QByteArray &bytes);
    static QString decodificar(const char *bytes, qsizetype tamanho);
    // Characters the code page lacks become "?".
    static QByteArray codificar(const QString &texto);
};
