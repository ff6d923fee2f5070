#pragma once

#include <QByteArray>

#include <cstdint>

// Encodes plain pictures as JPEG (JFIF) through libjpeg: the packer's
// placeholders and the test suites' sample pictures.
class CodificadorJpeg {
public:
    // A largura x altura picture filled with one colour; empty on failure.
    static QByteArray cor(int largura, int altura, uint8_t r, uint8_t g, uint8_t b, int qualidade = 90);
    // A picture from packed RGB rows (largura * 3 bytes each); empty on failure.
    static QByteArray rgb(const uint8_t *pixels, int largura, int altura, int qualidade = 90);
};
