#pragma once

#include <QString>
#include <QStringList>

// File search in one folder, in the stable order the program relies on.
class BuscaArquivos {
public:
    // Names of the ordinary, visible files of pasta whose extension (after the
    // last ".") equals extensao in any letter case, sorted by name in the file
    // system's byte order. Folders and hidden files are left out; an unreadable
    // folder gives an empty list.
    static QStringList listar(const QString &pasta, const QString &extensao);
    // The name of the file of pasta called nome, or, when none has exactly that
    // name, the first in byte order that differs only in letter case; the name
    // itself when neither exists.
    static QString resolver(const QString &pasta, const QString &nome);
};
