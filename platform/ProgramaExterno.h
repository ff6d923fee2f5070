#pragma once

#include <QString>
#include <QStringList>

// Starts other programs detached, with an argument list and never a shell.
class ProgramaExterno {
public:
    // The full path of programa on the PATH (or programa itself when it holds
    // a "/" and is executable); the empty text when there is none.
    static QString localizar(const QString &programa);
    // Starts programa with argumentos and does not wait for it; false when it
    // is not found or cannot be started.
    static bool iniciar(const QString &programa, const QStringList &argumentos);
};
