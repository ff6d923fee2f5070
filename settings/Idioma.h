#pragma once

#include <QByteArray>
#include <QList>
#include <QPixmap>
#include <QString>

// One loaded language: the texts of its ".idm" file and the path of its ".dat"
// picture file.
class Idioma {
public:
    // Text files above this size are refused before they are read.
    static constexpr qint64 limiteTexto = 16 * 1024 * 1024;

    // Reads folder/arquivoTexto whole; raises EFOpenError when it cannot be read,
    // is not a regular file or is above limiteTexto. The picture file is not opened here.
    Idioma(const QString &pasta, const QString &arquivoTexto, const QString &arquivoImagens);
    // Builds the table from text-file bytes already in memory.
    Idioma(const QByteArray &conteudoTexto, const QString &caminhoImagens);

    // The value of key in section, or the empty text; letter case counts.
    QString obterTexto(const QString &secao, const QString &chave) const;
    // The picture named by ('secao','chave'), or a null pixmap. A value that
    // cannot give a picture shows the corrupted-file message (once).
    QPixmap obterImagem(const QString &secao, const QString &chave);
    // The JPEG bytes of the picture range "offset,length" in the picture file;
    // empty when the value does not convert, the file cannot be read or the
    // range does not lie within the file.
    QByteArray lerBytesImagem(const QString &valor) const;
    // Shows the corrupted-file message the first time only.
    void avisarArquivoCorrompido();

    QString getArquivoImagens() const { return arquivoImagens; }
    bool getAvisoMostrado() const { return avisoMostrado; }

    // One entry of the table, in file order: a section line (ehSecao, numero its
    // number 1, 2, ...) or a key line (numero the number of its section, 0 above
    // the first section line). The section number is kept apart from the key, so
    // a key of one section can never be taken for another section's.
    struct Entrada {
        bool ehSecao = false;
        int numero = 0;
        QString nome;
        QString valor;
    };
    const QList<Entrada> &getTextos() const { return textos; }

private:
    void lerTextos(const QByteArray &conteudo);

    QList<Entrada> textos;
    QString arquivoImagens;
    bool avisoMostrado = false;
};
