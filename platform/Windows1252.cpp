#include "platform/Windows1252.h"

namespace {
// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined (kept as C1 controls).
constexpr char16_t faixa80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t paraUnicode(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0 && faixa80[c - 0x80] != 0)
        return faixa80[c - 0x80];
    return c;
}
}

QString Windows1252::decodificar(const char *bytes, qsizetype tamanho)
{
    QString texto;
    texto.reserve(tamanho);
    for (qsizetype i = 0; i < tamanho; ++i)
        texto.append(QChar(paraUnicode(static_cast<unsigned char>(bytes[i]))));
    return texto;
}

QString Windows1252::decodificar(const QByteArray &bytes)
{
    return decodificar(bytes.constData(), bytes.size());
}

QByteArray Windows1252::codificar(const QString &texto)
{
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (QChar ch : texto) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        char achado = '?';
        for (int i = 0; i < 32; ++i) {
            if (faixa80[i] == u || (faixa80[i] == 0 && u == 0x80 + i)) {
                achado = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.append(achado);
    }
    return bytes;
}
