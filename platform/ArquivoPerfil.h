#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// An INI profile file in Windows-1252, read with the rules of the Windows
// profile functions: section and key names match without regard to case,
// blanks around names and values are dropped, a value in matching quotes loses
// them, a missing file, section or key gives the default, a key present with
// an empty value gives the empty text. The first matching section and key win.
class ArquivoPerfil {
public:
    // Opening reads nothing yet; a missing file is not an error.
    explicit ArquivoPerfil(const QString &caminho);

    QString lerTexto(const QString &secao, const QString &chave, const QString &padrao) const;
    // Section names in file order (each once); keys of the first matching section.
    QStringList secoes() const;
    QStringList chaves(const QString &secao) const;

    // Replaces the file with these lines, each ended by CR LF, encoded in
    // Windows-1252. Writes a temporary file beside it and renames it over the
    // old one, so a crash never leaves half a file. False on any failure.
    static bool gravarLinhas(const QString &caminho, const QStringList &linhas);

private:
    struct Entrada {
        QString chave;
        QString valor;
    };
    struct Secao {
        QString nome;
        std::vector<Entrada> entradas;
    };
    void carregar() const;
    const Secao *procurar(const QString &secao) const;

    QString caminho;
    mutable bool carregado = false;
    mutable std::vector<Secao> conteudo;
};
