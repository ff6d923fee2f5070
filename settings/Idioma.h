#pragma once

#include <QByteArray>
#include <QList>
#include <QPixmap>
#include <QString>

// One loaded language: the texts of its ".idm" file and the path of its ".dat"
// picture file.
class Idioma {
public:
    // Reads folder/arquivoTexto whole; raises EFOpenError when it cannot be read.
    // The picture file is not opened here.
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

    // One entry of the table, in file order. A section line gives an entry with
    // secao 0 and numero its section number; a key line gives one with secao the
    // number of its section. Keeping the number apart from the key means a key
    // of one section can never be taken for another section's.
    struct Entrada {
        int secao = 0;
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
