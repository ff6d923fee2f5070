#pragma once

#include <QByteArray>

#include <cstdint>

class QImage;

// Encodes pictures as baseline JFIF through libjpeg, without chroma subsampling, so thin
// coloured lines stay crisp at 100 %: the rendered artwork, the language packer's
// placeholders and the test suites' sample pictures.
class CodificadorJpeg {
public:
    // The JPEG bytes of the picture's colours (alpha is ignored); empty on failure.
    static QByteArray codificar(const QImage &imagem, int qualidade = 95);
    // A picture from packed RGB rows (largura * 3 bytes each); empty on failure.
    static QByteArray rgb(const uint8_t *pixels, int largura, int altura, int qualidade = 90);
    // A largura x altura picture filled with one colour; empty on failure.
    static QByteArray cor(int largura, int altura, uint8_t r, uint8_t g, uint8_t b, int qualidade = 90);
};
