// The pictures the windows show: built-in resources, language pictures and help
// pages, checked against the sizes the windows are laid out for and against the
// renders they are cut from.

#include "kit/TabelaBateria.h"
#include "settings/DecodificadorJpeg.h"
#include "settings/ImagemEmbutida.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

struct Tamanho {
    const char *nome;
    int largura;
    int altura;
    bool transparente;
};

// Every built-in picture outside the kit table, at the size its window places it.
const Tamanho figurasDasJanelas[] = {
    {"imgCima", 793, 78, false},        {"imgBaixo", 793, 96, false},       {"imgOrv", 135, 77, false},
    {"imgHelp", 24, 24, false},         {"imgHelp2", 24, 24, false},        {"imgMin", 24, 24, false},
    {"imgMin2", 24, 24, false},         {"imgFechar", 24, 24, false},       {"imgFechar2", 24, 24, false},
    {"imgSetup", 83, 26, false},        {"imgSetup2", 83, 26, false},       {"imgTutorial", 83, 25, false},
    {"imgTutorial2", 83, 25, false},    {"imgRew", 40, 33, false},          {"imgRew2", 40, 30, false},
    {"imgPlay", 31, 31, false},         {"imgPlay2", 31, 31, false},        {"imgStop", 31, 31, false},
    {"imgStop2", 31, 31, false},        {"imgPause", 30, 31, false},        {"imgPause2", 30, 31, false},
    {"imgRepeat", 30, 31, false},       {"imgRepeat2", 30, 31, false},      {"imgFF", 39, 31, false},
    {"imgFF2", 39, 31, false},          {"imgTecladoPequeno", 90, 41, false}, {"imgTecladoEsquema", 323, 137, false},
    {"btnFecharAjudaAtalhos", 25, 25, false}, {"Image1", 139, 208, false},
    {"btnOk", 18, 18, true},            {"btnOkDesabilitado", 18, 18, true}, {"btnCancelar", 18, 18, true},
    {"btnCancelarDesabilitado", 18, 18, true},
    {"imgTeclaAtaque2", 31, 31, true},  {"imgTecla2Caixa", 31, 31, true},   {"imgTecla1Caixa", 31, 32, true},
    {"imgTeclaAro", 31, 32, true},      {"imgTeclaPedalChimbal", 45, 32, true}, {"imgTecla2Chimbal", 31, 31, true},
    {"imgTecla1Chimbal", 31, 31, true}, {"imgTecla1Tom1", 31, 31, true},    {"imgTecla2Tom1", 31, 31, true},
    {"imgTecla1Tom2", 31, 31, true},    {"imgTecla2Tom2", 31, 31, true},    {"imgTecla1Surdo1", 31, 31, true},
    {"imgTecla2Surdo1", 31, 31, true},  {"imgTecla1Surdo2", 31, 31, true},  {"imgTecla2Surdo2", 31, 31, true},
    {"imgTeclaBombo", 131, 31, true},   {"imgTeclaPrato1", 31, 31, true},   {"imgTeclaAtaque1", 31, 31, true},
    {"imgTeclaPrato2", 31, 31, true},   {"imgTeclaPrato3", 31, 31, true},
};

const Tamanho figurasDosIdiomas[] = {
    {"imgURL", 169, 21, false},   {"imgTamborlyLogo", 137, 75, false}, {"imgOpen", 83, 25, false},
    {"imgOpen2", 83, 25, false},  {"imgStyles", 82, 25, false},        {"imgStyles2", 82, 25, false},
    {"imgEntrada", 250, 250, false},
};

QString nomeDe(const PecaBateria &peca)
{
    return QString::fromLatin1(peca.nome.data(), qsizetype(peca.nome.size()));
}

QImage abrir(const QString &caminho)
{
    QImage imagem(caminho);
    return imagem.convertToFormat(QImage::Format_ARGB32);
}

// Mean and largest difference of the colour channels.
void diferenca(const QImage &a, const QImage &b, double &media, int &maior)
{
    media = 0;
    maior = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d[] = {qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q))};
            for (int v : d) {
                media += v;
                maior = qMax(maior, v);
            }
        }
    }
    media /= 3.0 * a.width() * a.height();
}

// The kit's picture list: picture name -> the state of the scene it is cut from.
QHash<QString, QStringList> estadosDoKit()
{
    QHash<QString, QStringList> estados;
    QFile lista(QStringLiteral(TAMBORLY_SOURCE_DIR "/assets/artwork/kit.pics"));
    EXPECT_TRUE(lista.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!lista.atEnd()) {
        QString linha = QString::fromUtf8(lista.readLine());
        linha.truncate(linha.indexOf(QLatin1Char('#')) >= 0 ? linha.indexOf(QLatin1Char('#')) : linha.size());
        const QStringList campos = linha.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (campos.size() >= 2)
            estados.insert(campos[0], campos[1] == QLatin1String("-") ? QStringList() : campos[1].split(QLatin1Char('+')));
    }
    return estados;
}

QString arquivoDoEstado(const QStringList &estado)
{
    QString nome = estado.isEmpty() ? QStringLiteral("rest") : estado.join(QLatin1Char('+'));
    nome.replace(QLatin1Char('!'), QLatin1String("not-"));
    return QStringLiteral(TAMBORLY_ARTWORK_DIR "/renders/kit/") + nome + QStringLiteral(".png");
}

}

TEST(FigurasTest, EveryBuiltInPictureExistsAtItsSizeWithTransparencyWhereDrawnOver)
{
    for (const Tamanho &t : figurasDasJanelas) {
        SCOPED_TRACE(t.nome);
        const QPixmap figura = ImagemEmbutida::carregar(QString::fromLatin1(t.nome));
        ASSERT_FALSE(figura.isNull());
        EXPECT_EQ(figura.size(), QSize(t.largura, t.altura));
        EXPECT_EQ(QFile::exists(QStringLiteral(":/%1.mask.png").arg(QLatin1String(t.nome))), t.transparente);
    }
    for (const PecaBateria &peca : tabelaBateria) {
        SCOPED_TRACE(peca.nome.data());
        const QPixmap figura = ImagemEmbutida::carregar(nomeDe(peca));
        ASSERT_FALSE(figura.isNull());
        EXPECT_EQ(figura.size(), QSize(peca.largura, peca.altura));
        EXPECT_EQ(figura.hasAlphaChannel(), peca.transparente);
    }
    // A stick covers only part of its rectangle: the rest must show the drum beneath.
    const QImage baqueta = ImagemEmbutida::carregar(QStringLiteral("imgBaqCaixa")).toImage();
    int transparentes = 0;
    for (int y = 0; y < baqueta.height(); ++y)
        for (int x = 0; x < baqueta.width(); ++x)
            transparentes += qAlpha(baqueta.pixel(x, y)) == 0;
    EXPECT_GT(transparentes, baqueta.width() * baqueta.height() / 2);
    EXPECT_FALSE(QPixmap(QStringLiteral(":/tamborly.png")).isNull());
}

TEST(FigurasTest, LanguagePicturesExistPerLanguageAtTheirSizesWithTheirOwnWords)
{
    for (const char *idioma : {"English", "Portugues"}) {
        for (const Tamanho &t : figurasDosIdiomas) {
            SCOPED_TRACE(std::string(idioma) + " " + t.nome);
            QFile arquivo(QStringLiteral(TAMBORLY_ARTWORK_DIR "/languages/%1/%2.jpg").arg(QLatin1String(idioma), QLatin1String(t.nome)));
            ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
            const QImage figura = DecodificadorJpeg::decodificar(arquivo.readAll());
            ASSERT_FALSE(figura.isNull());
            EXPECT_EQ(figura.size(), QSize(t.largura, t.altura));
        }
    }
    // The words differ, so the pictures do; the pressed twin differs from the button.
    auto figura = [](const char *idioma, const char *nome) {
        return QImage(QStringLiteral(TAMBORLY_ARTWORK_DIR "/languages/%1/%2.jpg").arg(QLatin1String(idioma), QLatin1String(nome)));
    };
    for (const char *nome : {"imgOpen", "imgStyles", "imgURL", "imgEntrada"})
        EXPECT_NE(figura("English", nome), figura("Portugues", nome)) << nome;
    EXPECT_NE(figura("English", "imgOpen"), figura("English", "imgOpen2"));
}

TEST(FigurasTest, KitOverlaysMatchTheStruckRendersAndStrikesStayInsideTheirRectangles)
{
    const QHash<QString, QStringList> estados = estadosDoKit();
    QHash<QString, QRect> retangulos;
    for (const PecaBateria &peca : tabelaBateria)
        retangulos.insert(nomeDe(peca), QRect(peca.esquerda, peca.topo, peca.largura, peca.altura));
    const QImage repouso = abrir(arquivoDoEstado({}));
    ASSERT_EQ(repouso.size(), QSize(larguraBateria, alturaBateria));

    for (const PecaBateria &peca : tabelaBateria) {
        const QString nome = nomeDe(peca);
        SCOPED_TRACE(nome.toStdString());
        ASSERT_TRUE(estados.contains(nome));
        const QImage cena = abrir(arquivoDoEstado(estados.value(nome)));
        ASSERT_EQ(cena.size(), repouso.size());
        const QRect r = retangulos.value(nome);

        // The picture, drawn over the kit at rest, gives the struck scene.
        QImage composta = repouso.copy(r);
        {
            QPainter pintor(&composta);
            pintor.drawPixmap(0, 0, ImagemEmbutida::carregar(nome));
        }
        double media = 0, deslocada = 0;
        int maior = 0, maiorDeslocada = 0;
        diferenca(composta, cena.copy(r), media, maior);
        EXPECT_LT(media, 3.5);
        EXPECT_LT(maior, peca.transparente ? 140 : 90);  // JPEG edges
        // Cut one pixel off, the same picture differs far more: it lines up exactly.
        diferenca(composta, cena.copy(r.translated(1, 1)), deslocada, maiorDeslocada);
        EXPECT_LT(media * 2, deslocada);

        // Outside the rectangles of the pictures cut from this state, nothing moved.
        QRegion dentro;
        const QStringList estado = estados.value(nome);
        for (auto it = estados.constBegin(); it != estados.constEnd(); ++it) {
            bool contido = !it.value().isEmpty();
            for (const QString &id : it.value())
                contido = contido && estado.contains(id);
            if (contido && retangulos.contains(it.key()))
                dentro += retangulos.value(it.key());
        }
        int fora = 0;
        for (int y = 0; y < cena.height(); ++y)
            for (int x = 0; x < cena.width(); ++x)
                if (cena.pixel(x, y) != repouso.pixel(x, y) && !dentro.contains(QPoint(x, y)))
                    ++fora;
        EXPECT_EQ(fora, 0);
        if (!estado.isEmpty() && !peca.transparente) {
            EXPECT_NE(cena.copy(r), repouso.copy(r));  // a struck picture shows the strike
        }
    }
}

TEST(FigurasTest, HelpPagesExistInBothLanguagesAndEveryPictureTheyShowIsThere)
{
    const QString ajuda = QStringLiteral(TAMBORLY_BUILD_APP_DIR "/help/");
    for (const char *pagina : {"en/index.html", "en/tutorial.html", "pt/index.html", "pt/tutorial.html"}) {
        SCOPED_TRACE(pagina);
        QFile arquivo(ajuda + QLatin1String(pagina));
        ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(arquivo.readAll());
        const QString pasta = QFileInfo(arquivo.fileName()).absolutePath() + QLatin1Char('/');
        int figuras = 0;
        static const QRegularExpression ligacao(QStringLiteral("(?:src|href)=\"([^\"#:]+)\""));
        for (auto it = ligacao.globalMatch(html); it.hasNext();) {
            const QString alvo = it.next().captured(1);
            EXPECT_TRUE(QFile::exists(pasta + alvo)) << alvo.toStdString();
            figuras += alvo.startsWith(QLatin1String("img/"));
            if (alvo.startsWith(QLatin1String("img/"))) {
                EXPECT_FALSE(QImage(pasta + alvo).isNull()) << alvo.toStdString();
            }
        }
        EXPECT_GE(figuras, 3);
    }
}
