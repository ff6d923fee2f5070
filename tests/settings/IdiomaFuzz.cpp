// libFuzzer target: the language text reader and the picture extraction.
// The input is split in two: the text file, then the picture file; every value
// of the table is looked up as a text and tried as a picture range.

#include "settings/DecodificadorJpeg.h"
#include "settings/Idioma.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> pasta;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho)
{
    if (!pasta)
        pasta = std::make_unique<QTemporaryDir>();
    if (tamanho < 2)
        return 0;
    const size_t corte = std::min<size_t>(tamanho - 2, static_cast<size_t>(dados[0]) << 8 | dados[1]);
    const QByteArray texto(reinterpret_cast<const char *>(dados + 2), static_cast<qsizetype>(corte));
    const QByteArray imagens(reinterpret_cast<const char *>(dados + 2 + corte), static_cast<qsizetype>(tamanho - 2 - corte));
    const QString caminhoImagens = pasta->filePath(QStringLiteral("f.dat"));
    {
        QFile arquivo(caminhoImagens);
        if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        arquivo.write(imagens);
    }
    Idioma idioma(texto, caminhoImagens);
    QString secao;
    for (const Idioma::Entrada &e : idioma.getTextos()) {
        if (e.ehSecao) {
            secao = e.nome;
            continue;
        }
        const QString valor = idioma.obterTexto(secao, e.nome);
        const QByteArray jpeg = idioma.lerBytesImagem(valor);
        if (!jpeg.isEmpty())
            (void)DecodificadorJpeg::decodificar(jpeg);
    }
    // Whole picture file as a JPEG too, so the decoder sees arbitrary bytes.
    (void)DecodificadorJpeg::decodificar(imagens);
    return 0;
}
