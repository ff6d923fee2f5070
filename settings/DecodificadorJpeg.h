#pragma once

#include <QByteArray>
#include <QImage>

// JPEG decoding through libjpeg. A corrupt or truncated picture is "no picture":
// libjpeg's errors (and its corrupt-data warnings) end the decoding through a
// setjmp error manager instead of ending the process.
class DecodificadorJpeg {
public:
    // The decoded picture, or a null image on any error.
    static QImage decodificar(const QByteArray &jpeg);
    // Whether the bytes start with a complete, valid JPEG header (size and colour
    // format readable); the picture data themselves are not decoded.
    static bool cabecalhoValido(const QByteArray &jpeg);
};
