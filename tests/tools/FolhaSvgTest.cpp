#include "tools/jpeg/CodificadorJpeg.h"
#include "tools/render/FolhaSvg.h"
#include "settings/DecodificadorJpeg.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Two squares: red shown, blue hidden until a state names it; a word in a title.
const char *folha =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\" viewBox=\"0 0 20 10\">"
    "<title>{{palavra}}</title>"
    "<rect id=\"vermelho\" x=\"0\" y=\"0\" width=\"10\" height=\"10\" fill=\"#FF0000\"/>"
    "<g id=\"azul\" display=\"none\"><rect x=\"10\" y=\"0\" width=\"10\" height=\"10\" fill=\"#0000FF\"/></g>"
    "</svg>";

QString escrever(QTemporaryDir &pasta, const QByteArray &texto)
{
    const QString caminho = pasta.filePath(QStringLiteral("folha.svg"));
    QFile arquivo(caminho);
    arquivo.open(QIODevice::WriteOnly);
    arquivo.write(texto);
    return caminho;
}

}

TEST(FolhaSvgTest, StatesShowAndHideElementsOfOneScene)
{
    QTemporaryDir pasta;
    FolhaSvg svg;
    QString erro;
    ASSERT_TRUE(svg.carregar(escrever(pasta, folha), {{QStringLiteral("palavra"), QStringLiteral("a & b")}}, erro))
        << erro.toStdString();
    EXPECT_EQ(svg.tamanho(), QSize(20, 10));

    const QImage repouso = svg.renderizar({});
    EXPECT_EQ(repouso.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(repouso.pixel(15, 5), qRgb(255, 255, 255));  // drawn over white

    const QImage trocado = svg.renderizar({QStringLiteral("azul"), QStringLiteral("!vermelho")});
    EXPECT_EQ(trocado.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(trocado.pixel(15, 5), qRgb(0, 0, 255));

    // Only the named elements, on transparency: the coverage of a mask.
    const QImage somente = svg.renderizarSomente({QStringLiteral("azul")});
    EXPECT_EQ(qAlpha(somente.pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(somente.pixel(15, 5)), 255);

    EXPECT_TRUE(svg.estadoValido({QStringLiteral("!azul")}, erro));
    EXPECT_FALSE(svg.estadoValido({QStringLiteral("verde")}, erro));
    EXPECT_TRUE(erro.contains(QLatin1String("no element with id \"verde\"")));
}

TEST(FolhaSvgTest, RefusesMissingWordsAndSheetsThatAreNotOnePixelPerUnit)
{
    QTemporaryDir pasta;
    QString erro;
    FolhaSvg semPalavra;
    EXPECT_FALSE(semPalavra.carregar(escrever(pasta, folha), {}, erro));
    EXPECT_TRUE(erro.contains(QLatin1String("no word for {{palavra}}")));

    QByteArray escalada(folha);
    escalada.replace("viewBox=\"0 0 20 10\"", "viewBox=\"0 0 40 20\"");
    FolhaSvg escala;
    EXPECT_FALSE(escala.carregar(escrever(pasta, escalada), {{QStringLiteral("palavra"), QString()}}, erro));
    EXPECT_TRUE(erro.contains(QLatin1String("viewBox")));

    FolhaSvg quebrada;
    EXPECT_FALSE(quebrada.carregar(escrever(pasta, "<svg><rect></svg>"), {}, erro));
}

TEST(FolhaSvgTest, JpegKeepsSizeAndColoursWithoutChromaBlur)
{
    QImage imagem(33, 17, QImage::Format_RGB32);
    imagem.fill(qRgb(72, 113, 192));
    for (int y = 0; y < imagem.height(); ++y)
        imagem.setPixel(16, y, qRgb(255, 211, 122));  // a one-pixel amber line
    const QImage volta = DecodificadorJpeg::decodificar(CodificadorJpeg::codificar(imagem));
    ASSERT_EQ(volta.size(), imagem.size());
    const QRgb fundo = volta.pixel(3, 8), linha = volta.pixel(16, 8);
    EXPECT_LE(qAbs(qBlue(fundo) - 192), 3);
    EXPECT_LE(qAbs(qRed(linha) - 255), 25);
    EXPECT_LE(qAbs(qBlue(linha) - 122), 40);
    EXPECT_TRUE(CodificadorJpeg::codificar(QImage()).isEmpty());
}
