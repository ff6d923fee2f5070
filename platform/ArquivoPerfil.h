#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// An INI profile file in Windows-1252 (read as UTF-8 when its bytes are valid
// UTF-8, as a text editor may save it), read with the rules of the Windows
// profile functions: section and key names match without regard to case,
// blanks around names and values are dropped, a value in matching quotes loses
// them, a missing file, section or key gives the default, a key present with
// an empty value gives the empty text. The first matching section and key win.
class ArquivoPerfil {
public:
    // Files larger than this are read as having no values, without being read.
    static constexpr qint64 limitePadrao = 1024 * 1024;

    // Opening reads nothing yet; a missing file, a FIFO, a folder or a file
    // above the limit is not an error: it reads as empty. The text is
    // Windows-1252, or UTF-8 or UTF-16 when it starts with their byte-order
    // mark; lines end with CR LF, LF or CR.
    explicit ArquivoPerfil(const QString &caminho, qint64 limite = limitePadrao);

    QString lerTexto(const QString &secao, const QString &chave, const QString &padrao) const;
    // Section names in file order (each once); keys of the first matching section.
    QStringList secoes() const;
    QStringList chaves(const QString &secao) const;

    // Replaces the file with these lines, each ended by CR LF, encoded in
    // Windows-1252, through GravacaoSegura: a failure (a full disk) leaves the
    // old file as it was. False on any failure.
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
    qint64 limite;
    mutable bool carregado = false;
    mutable std::vector<Secao> conteudo;
};
