#pragma once

#include <QByteArray>

class QImage;

// Encodes pictures as baseline JFIF through libjpeg, without chroma subsampling,
// so thin coloured lines stay crisp at 100 %.
class CodificadorJpeg {
public:
    // The JPEG bytes of the picture's colours (alpha is ignored); empty on failure.
    static QByteArray codificar(const QImage &imagem, int qualidade = 95);
};
