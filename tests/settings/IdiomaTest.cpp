#include "settings/Idioma.h"

#include "ArquivosIdioma.h"
#include "common/PastaTemporaria.h"
#include "platform/CaixaMensagem.h"
#include "settings/EFOpenError.h"
#include "tools/jpeg/CodificadorJpeg.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using ArquivosIdioma::texto;

namespace {

const QString mensagemCorrompido = QStringLiteral(
    "The file of the language you have selected is corrupted. Try to reinstall your software.\n"
    "If the problem persist, please contact us: support@tamborly.example.org.");

class IdiomaTest : public ::testing::Test {
protected:
    void SetUp() override { CaixaMensagem::gravar(true); }
    void TearDown() override { CaixaMensagem::gravar(false); }
    PastaTemporaria pasta {QStringList()};
};

}

TEST_F(IdiomaTest, SectionsKeysAndValuesFollowTheFileRules)
{
    Idioma idioma(texto(QStringLiteral(
                      "orfa=above every section\n"
                      "[frmSetup]\n"
                      "btnOK=OK\n"
                      "btnOK=second\n"
                      "duas=linha um#linha dois\n"
                      "vazia=\n"
                      "  recuada=x\n"
                      "final=abc     \n"
                      ";comentario=not a comment\n"
                      "sem igual\n"
                      "=sem chave\n"
                      "\n"
                      "   \t\n"
                      "  [geral]  \n"
                      "nome=Português\n"
                      "[frmSetup]\n"
                      "tarde=unreachable\n")),
                  QString());
    struct Caso {
        const char *secao;
        const char *chave;
        QString esperado;
    };
    const Caso casos[] = {
        {"frmSetup", "btnOK", QStringLiteral("OK")},            // first of a repeated key wins
        {"frmSetup", "btnok", QString()},                       // letter case counts in keys
        {"frmsetup", "btnOK", QString()},                       // and in sections
        {"frmSetup", "duas", QStringLiteral("linha um\r\nlinha dois")},
        {"frmSetup", "vazia", QString()},
        {"frmSetup", "nada", QString()},
        {"naoExiste", "btnOK", QString()},
        {"frmSetup", "  recuada", QStringLiteral("x")},         // leading blanks belong to the key
        {"frmSetup", "recuada", QString()},
        {"frmSetup", "final", QStringLiteral("abc  ")},         // at most two trailing blanks stay
        {"frmSetup", ";comentario", QStringLiteral("not a comment")},
        {"frmSetup", "", QString()},                            // lines without a key are unreachable
        {"frmSetup", "tarde", QString()},                       // only a section's first occurrence counts
        {"geral", "nome", QStringLiteral("Português")},         // Windows-1252, trimmed section line
        {"", "orfa", QString()},                                // keys above the first section
    };
    for (const Caso &c : casos)
        EXPECT_EQ(idioma.obterTexto(QString::fromLatin1(c.secao), QString::fromLatin1(c.chave)), c.esperado)
            << c.secao << " / " << c.chave;
}

TEST_F(IdiomaTest, LineEndsOfEveryKindSplitLines)
{
    const QByteArray bytes("[a]\r\nx=1\ry=2\nz=3\r\n\r\n[b]\rw=4");
    Idioma idioma(bytes, QString());
    EXPECT_EQ(idioma.obterTexto("a", "x"), "1");
    EXPECT_EQ(idioma.obterTexto("a", "y"), "2");
    EXPECT_EQ(idioma.obterTexto("a", "z"), "3");
    EXPECT_EQ(idioma.obterTexto("b", "w"), "4");
}

// The flat "CS" + number + key naming let section 1's key "2x" answer for
// section 12's key "x"; each key is now tied to its own section.
TEST_F(IdiomaTest, AKeyOfOneSectionIsNeverFoundUnderAnother)
{
    QString conteudo = QStringLiteral("[s1]\n2x=from section one\n");
    for (int n = 2; n <= 11; ++n)
        conteudo += QStringLiteral("[s%1]\n").arg(n);
    conteudo += QStringLiteral("[s12]\ny=other\n[s13]\nx=from section thirteen\n");
    Idioma idioma(texto(conteudo), QString());
    EXPECT_EQ(idioma.obterTexto("s12", "x"), QString());
    EXPECT_EQ(idioma.obterTexto("s1", "2x"), "from section one");
    EXPECT_EQ(idioma.obterTexto("s13", "x"), "from section thirteen");
}

TEST_F(IdiomaTest, DegenerateLinesGiveEmptyNamesAndValuesNeverNegativeLengths)
{
    Idioma idioma(texto(QStringLiteral("[\nk=in the nameless section\n[b]\n        =x\n   ==\n")), QString());
    EXPECT_EQ(idioma.obterTexto("", "k"), "in the nameless section");
    EXPECT_EQ(idioma.obterTexto("b", "        "), QString());
    EXPECT_EQ(idioma.obterTexto("b", "   "), QString());
    ASSERT_EQ(idioma.getTextos().size(), 5);
    EXPECT_EQ(idioma.getTextos().at(0).nome, QString());
}

TEST_F(IdiomaTest, AMissingTextFileRaisesFileOpenError)
{
    EXPECT_THROW(Idioma(pasta.caminho(), "ausente.idm", "ausente.dat"), EFOpenError);
}

TEST_F(IdiomaTest, PictureRangesAreReadExactlyAndCheckedAgainstTheFile)
{
    QByteArray dados(3000, '\0');
    for (char &c : dados)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    ArquivosIdioma::gravar(pasta.arquivo("l.dat"), dados);
    Idioma idioma(QByteArray(), pasta.arquivo("l.dat"));

    EXPECT_EQ(idioma.lerBytesImagem("100,2000"), dados.mid(100, 2000));
    EXPECT_EQ(idioma.lerBytesImagem(" 0 , 3000 "), dados);
    const char *invalidos[] = {
        "1001,2000",              // one byte past the end
        "3000,1",
        "-1,10",                  // negative offset
        "10,-5",                  // negative length
        "0,0",
        "2147483647,2147483647",  // would overflow 32 bits
        "4294967296,10",          // does not fit in 32 bits
        "abc,5",
        "5,",
        "100 2000",               // no comma
        "0x10,20",
    };
    for (const char *valor : invalidos)
        EXPECT_TRUE(idioma.lerBytesImagem(QString::fromLatin1(valor)).isEmpty()) << valor;

    Idioma semArquivo(QByteArray(), pasta.arquivo("nenhum.dat"));
    EXPECT_TRUE(semArquivo.lerBytesImagem("0,10").isEmpty());
}

TEST_F(IdiomaTest, PicturesDecodeAndFailuresWarnOncePerLanguage)
{
    const QByteArray jpeg = CodificadorJpeg::cor(30, 20, 200, 10, 10);
    ASSERT_FALSE(jpeg.isEmpty());
    QByteArray dados = QByteArray(100, 'x') + jpeg + QByteArray("not a jpeg at all");
    ArquivosIdioma::gravar(pasta.arquivo("l.dat"), dados);
    const QString conteudo = QStringLiteral("[p]\nboa=100,%1\nlixo=%2,17\nsemvirgula=100\nlonge=100,99999\nvazia=\n")
                                 .arg(jpeg.size())
                                 .arg(100 + jpeg.size());
    Idioma idioma(texto(conteudo), pasta.arquivo("l.dat"));

    const QPixmap boa = idioma.obterImagem("p", "boa");
    ASSERT_FALSE(boa.isNull());
    EXPECT_EQ(boa.size(), QSize(30, 20));
    EXPECT_GT(qRed(boa.toImage().pixel(15, 10)), 150);

    EXPECT_TRUE(idioma.obterImagem("p", "vazia").isNull());     // empty value: no message
    EXPECT_TRUE(idioma.obterImagem("p", "ausente").isNull());
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());

    EXPECT_TRUE(idioma.obterImagem("p", "semvirgula").isNull());
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_EQ(CaixaMensagem::registros().at(0).texto, mensagemCorrompido);
    EXPECT_EQ(CaixaMensagem::registros().at(0).titulo, "Internationalization");
    EXPECT_TRUE(idioma.obterImagem("p", "longe").isNull());
    EXPECT_TRUE(idioma.obterImagem("p", "lixo").isNull());
    EXPECT_EQ(CaixaMensagem::registros().size(), 1);

    Idioma outro(texto(conteudo), pasta.arquivo("l.dat"));  // another language warns again
    EXPECT_TRUE(outro.obterImagem("p", "lixo").isNull());
    EXPECT_EQ(CaixaMensagem::registros().size(), 2);
}
