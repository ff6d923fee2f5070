#pragma once

#include <QString>

// The folder that holds the executable and everything installed beside it
// (driver library, languages, styles, help, settings file).
class PastaAplicacao {
public:
    // The executable's folder, or the folder a test has set.
    static QString caminho();
    // caminho() joined to a relative name with one "/".
    static QString arquivo(const QString &nome);
    // Points the application folder elsewhere (tests); an empty text restores the real one.
    static void definir(const QString &pasta);
};
