#pragma once

#include <QByteArray>
#include <QString>

// Replacing a file so that a failure never costs the old contents: the bytes go
// to a temporary file beside the target ("NAME.XXXXXX"), every write, the flush
// to disk and the close are checked, and only then is it renamed over the
// target. On any failure the temporary file is removed and the target is as it was.
class GravacaoSegura {
public:
    static bool gravar(const QString &caminho, const QByteArray &bytes);
    // Removes the temporary files that a process killed in the middle of a
    // gravar left beside caminho; the target itself is never touched.
    static void removerSobras(const QString &caminho);
};
