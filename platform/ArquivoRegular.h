#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading a whole file that must be an ordinary one: it is opened without
// blocking (a FIFO or a device never holds the program), used only when it is a
// regular file, and refused before reading when it is larger than the limit.
class ArquivoRegular {
public:
    enum class Falha { nenhuma, inexistente, semPermissao, naoRegular, grandeDemais, erroLeitura };

    // The whole content, or nothing with the reason in falha.
    static std::optional<QByteArray> ler(const QString &caminho, qint64 limite, Falha *falha = nullptr);
    // A descriptor open for reading (blocking again, close-on-exec) on a regular
    // file, or -1 with the reason in falha. The caller closes it.
    static int abrir(const QString &caminho, Falha *falha = nullptr);
};
