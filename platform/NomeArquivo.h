#pragma once

#include <QByteArray>
#include <QString>

// File names are the file system's bytes. A name that is not valid UTF-8 (a
// Latin-1 "caf\xE9.mid") reaches a QString only with replacement characters, and
// QFile::encodeName cannot give its bytes back; this finds them again.
class NomeArquivo {
public:
    // The bytes of the path: QFile::encodeName when that names an existing
    // entry, else, component by component, the entry of the folder whose name
    // reads as the given one (the first in byte order when several do).
    static QByteArray codificar(const QString &caminho);
    // The size of what the path names, found as codificar finds it; -1 when nothing.
    static qint64 tamanho(const QString &caminho);
};
