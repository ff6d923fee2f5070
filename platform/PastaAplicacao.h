#pragma once

#include <QString>

#include <optional>

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

    // Whether this user may create files in the application folder: a portable or
    // per-user install may, a system-wide one (the Debian package under /usr) may not.
    // The environment variable TAMBORLY_APP_DIR_READ_ONLY=1 answers no whatever the
    // permissions say, so that tests running as root can see the system-wide rule.
    static bool gravavel();
    // Test seam: fixes the answer of gravavel(); no value restores the real check.
    static void definirGravavel(std::optional<bool> valor);

    // The user's own folder of Tamborly's settings: $XDG_CONFIG_HOME/tamborly
    // (~/.config/tamborly by default). It may not exist yet.
    static QString pastaUsuario();
    // Where a settings file of that name is written: beside the program when its
    // folder is writable, else in pastaUsuario().
    static QString arquivoConfiguracaoGravado(const QString &nome);
    // Where it is read: the written one; in a folder that cannot be written, the
    // one beside the program while the user has none of their own yet (a default
    // an administrator put there).
    static QString arquivoConfiguracaoLido(const QString &nome);
};
