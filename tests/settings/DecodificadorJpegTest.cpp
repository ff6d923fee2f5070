#include "settings/DecodificadorJpeg.h"
#include "settings/ImagemEmbutida.h"

#include "tools/jpeg/CodificadorJpeg.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <vector>

namespace {

QByteArray png(const QImage &imagem)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    imagem.save(&buffer, "PNG");
    return bytes;
}

// Four quadrants of distinct colours, so a decoder that mixes up rows, columns or
// channels shows it.
QByteArray quadrantes(int largura, int altura)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(largura) * altura * 3);
    for (int y = 0; y < altura; ++y)
        for (int x = 0; x < largura; ++x) {
            uint8_t *p = &pixels[(static_cast<size_t>(y) * largura + x) * 3];
            const bool direita = x >= largura / 2, baixo = y >= altura / 2;
            p[0] = direita ? 250 : 10;
            p[1] = baixo ? 250 : 10;
            p[2] = (direita != baixo) ? 10 : 250;
        }
    return CodificadorJpeg::rgb(pixels.data(), largura, altura, 95);
}

bool perto(QRgb pixel, int r, int g, int b)
{
    return std::abs(qRed(pixel) - r) < 30 && std::abs(qGreen(pixel) - g) < 30 && std::abs(qBlue(pixel) - b) < 30;
}

}

TEST(DecodificadorJpeg, DecodesSizeAndColoursOfAValidPicture)
{
    const QByteArray jpeg = quadrantes(64, 48);
    ASSERT_FALSE(jpeg.isEmpty());
    EXPECT_TRUE(DecodificadorJpeg::cabecalhoValido(jpeg));
    const QImage imagem = DecodificadorJpeg::decodificar(jpeg);
    ASSERT_FALSE(imagem.isNull());
    EXPECT_EQ(imagem.size(), QSize(64, 48));
    EXPECT_TRUE(perto(imagem.pixel(8, 8), 10, 10, 250));
    EXPECT_TRUE(perto(imagem.pixel(56, 8), 250, 10, 10));
    EXPECT_TRUE(perto(imagem.pixel(8, 40), 10, 250, 10));
    EXPECT_TRUE(perto(imagem.pixel(56, 40), 250, 250, 250));
}

TEST(DecodificadorJpeg, CorruptTruncatedOrForgedPicturesAreNoPicture)
{
    const QByteArray jpeg = quadrantes(64, 48);
    QByteArray enorme = jpeg;
    // Forge the frame header to 65535 x 65535: refused before anything is allocated.
    const qsizetype sof = enorme.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    enorme[sof + 5] = enorme[sof + 6] = enorme[sof + 7] = enorme[sof + 8] = '\xFF';
    QByteArray dadosEstragados = jpeg;
    for (qsizetype i = dadosEstragados.size() / 2; i < dadosEstragados.size() - 2; ++i)
        dadosEstragados[i] = '\xFF';
    const QByteArray casos[] = {
        QByteArray(),
        QByteArray("not a jpeg"),
        jpeg.left(2),
        jpeg.left(jpeg.size() / 2),   // truncated: libjpeg warns and would fill grey
        enorme,
        dadosEstragados,
        png(QImage(4, 4, QImage::Format_RGB32)),
    };
    for (const QByteArray &caso : casos)
        EXPECT_TRUE(DecodificadorJpeg::decodificar(caso).isNull()) << caso.size();
    EXPECT_FALSE(DecodificadorJpeg::cabecalhoValido(QByteArray("\xFF\xD8\xFF", 3)));
    EXPECT_FALSE(DecodificadorJpeg::cabecalhoValido(enorme));
}

TEST(ImagemEmbutida, TheMaskBecomesTheAlphaChannel)
{
    const QByteArray jpeg = CodificadorJpeg::cor(20, 10, 200, 100, 50);
    QImage cinza(20, 10, QImage::Format_Grayscale8);
    cinza.fill(0);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            cinza.setPixel(x, y, qRgb(255, 255, 255));

    const QImage porCinza = ImagemEmbutida::compor(jpeg, png(cinza));
    ASSERT_FALSE(porCinza.isNull());
    EXPECT_TRUE(porCinza.hasAlphaChannel());
    EXPECT_EQ(qAlpha(porCinza.pixel(2, 5)), 0);
    EXPECT_EQ(qAlpha(porCinza.pixel(15, 5)), 255);
    EXPECT_TRUE(perto(porCinza.pixel(15, 5), 200, 100, 50));

    QImage transparente(20, 10, QImage::Format_ARGB32);
    transparente.fill(qRgba(255, 255, 255, 0));
    transparente.setPixel(3, 3, qRgba(0, 0, 0, 255));   // opaque although black
    const QImage porAlfa = ImagemEmbutida::compor(jpeg, png(transparente));
    EXPECT_EQ(qAlpha(porAlfa.pixel(3, 3)), 255);
    EXPECT_EQ(qAlpha(porAlfa.pixel(10, 5)), 0);

    EXPECT_FALSE(ImagemEmbutida::compor(jpeg, QByteArray()).hasAlphaChannel());
    EXPECT_TRUE(ImagemEmbutida::compor(jpeg, QByteArray("broken mask")).isNull());
    EXPECT_TRUE(ImagemEmbutida::compor(QByteArray("broken"), png(cinza)).isNull());
    EXPECT_TRUE(ImagemEmbutida::carregar("componenteQueNaoExiste").isNull());
}

TEST(ImagemEmbutida, BuiltInPicturesLoadFromTheResources)
{
    // The build always compiles the artwork in, with the stick's alpha mask beside it.
    ASSERT_TRUE(QFile::exists(":/imgBaqCaixa.jpg"));
    const QPixmap baqueta = ImagemEmbutida::carregar("imgBaqCaixa");
    ASSERT_FALSE(baqueta.isNull());
    EXPECT_EQ(baqueta.size(), QSize(68, 28));
    EXPECT_TRUE(QFile::exists(":/imgBaqCaixa.mask.png"));
    EXPECT_TRUE(baqueta.hasAlphaChannel());
}
