#include "common/PastaTemporaria.h"
#include "platform/ArquivoPerfil.h"
#include "platform/ArquivoRegular.h"
#include "platform/GravacaoSegura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ArquivoPerfilTest : public ::testing::Test {
protected:
    PastaTemporaria pasta{QStringList{}};

    QString fifo(const QString &nome)
    {
        const QString caminho = pasta.arquivo(nome);
        EXPECT_EQ(::mkfifo(QFile::encodeName(caminho).constData(), 0644), 0);
        return caminho;
    }
    static QByteArray utf16(const QString &texto, bool littleEndian)
    {
        QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (QChar c : texto) {
            const char alto = char(c.unicode() >> 8);
            const char baixo = char(c.unicode() & 0xFF);
            bytes += littleEndian ? QByteArray{&baixo, 1} + QByteArray{&alto, 1} : QByteArray{&alto, 1} + QByteArray{&baixo, 1};
        }
        return bytes;
    }
};

// Whatever the encoding and the line ends, the same three values come out.
TEST_F(ArquivoPerfilTest, ByteOrderMarksAndEveryLineEndAreRead)
{
    const QString texto = QStringLiteral("[geral]\r\ndriver=3\r\nvolume=40\r\nidioma=Português\r\n");
    QString soCr = texto;
    soCr.remove(QLatin1Char('\n'));
    QString soLf = texto;
    soLf.remove(QLatin1Char('\r'));
    const std::vector<std::pair<const char *, QByteArray>> casos{
        {"Windows-1252, CR LF", "[geral]\r\ndriver=3\r\nvolume=40\r\nidioma=Portugu\xEAs\r\n"},
        {"Windows-1252, CR", "[geral]\rdriver=3\rvolume=40\ridioma=Portugu\xEAs"},
        {"Windows-1252, LF", "[geral]\ndriver=3\nvolume=40\nidioma=Portugu\xEAs\n"},
        {"UTF-8 with BOM, CR LF", "\xEF\xBB\xBF" + texto.toUtf8()},
        {"UTF-8 with BOM, CR", "\xEF\xBB\xBF" + soCr.toUtf8()},
        {"UTF-16 LE", utf16(texto, true)},
        {"UTF-16 BE, LF", utf16(soLf, false)},
        {"UTF-16 LE, CR", utf16(soCr, true)},
    };
    for (const auto &[nome, bytes] : casos) {
        const ArquivoPerfil perfil(pasta.escrever(QStringLiteral("t.ini"), bytes));
        EXPECT_EQ(perfil.lerTexto("geral", "driver", "-"), "3") << nome;
        EXPECT_EQ(perfil.lerTexto("geral", "volume", "-"), "40") << nome;
        EXPECT_EQ(perfil.lerTexto("geral", "idioma", "-"), QStringLiteral("Português")) << nome;
        EXPECT_EQ(perfil.secoes(), QStringList{"geral"}) << nome;
    }
}

// What is saved reads back the same: the code page when it can say it (the format
// older files have), UTF-8 with a mark when its bytes would be misread or lost.
TEST_F(ArquivoPerfilTest, SavedValuesReadBackUnchanged)
{
    const QString caminho = pasta.arquivo(QStringLiteral("s.ini"));
    const std::vector<std::pair<QString, bool>> casos{
        {QStringLiteral("Português"), true},
        {QStringLiteral("plain"), true},
        {QStringLiteral("Ã©"), false},  // C3 A9 in the code page is "é" in UTF-8
        {QStringLiteral("\u00EF\u00BB\u00BF[geral]"), false},
        {QStringLiteral("日本語 kit"), false},  // not in the code page at all
    };
    for (const auto &[valor, codigoPagina] : casos) {
        ASSERT_TRUE(ArquivoPerfil::gravarLinhas(caminho, {QStringLiteral("[geral]"), QStringLiteral("idioma=") + valor}));
        QFile arquivo(caminho);
        ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
        EXPECT_EQ(!arquivo.readAll().startsWith("\xEF\xBB\xBF"), codigoPagina) << valor.toStdString();
        EXPECT_EQ(ArquivoPerfil(caminho).lerTexto("geral", "idioma", "-"), valor) << valor.toStdString();
    }
}

// A FIFO (with no writer: opening it for reading would wait for ever), a folder
// and a file above the limit all read as no file at all, at once.
TEST_F(ArquivoPerfilTest, SpecialAndOversizedFilesReadAsEmptyWithoutBlocking)
{
    const QString semLeitor = fifo(QStringLiteral("fifo.ini"));
    QDir(pasta.caminho()).mkdir(QStringLiteral("pasta.ini"));
    QByteArray grande = "[geral]\ndriver=3\n";
    grande += QByteArray(ArquivoPerfil::limitePadrao, ' ');
    for (const QString &caminho : {semLeitor, pasta.arquivo("pasta.ini"), pasta.escrever("grande.ini", grande), pasta.arquivo("nada.ini")}) {
        const ArquivoPerfil perfil(caminho);
        EXPECT_EQ(perfil.lerTexto("geral", "driver", "padrao"), "padrao") << caminho.toStdString();
        EXPECT_TRUE(perfil.secoes().isEmpty());
    }
    // A larger limit reads the large file.
    EXPECT_EQ(ArquivoPerfil(pasta.arquivo("grande.ini"), 2 * ArquivoPerfil::limitePadrao).lerTexto("geral", "driver", "-"), "3");

    ArquivoRegular::Falha falha = ArquivoRegular::Falha::nenhuma;
    EXPECT_FALSE(ArquivoRegular::ler(semLeitor, 100, &falha));
    EXPECT_EQ(falha, ArquivoRegular::Falha::naoRegular);
    EXPECT_FALSE(ArquivoRegular::ler(pasta.arquivo("pasta.ini"), 100, &falha));
    EXPECT_EQ(falha, ArquivoRegular::Falha::naoRegular);
    EXPECT_FALSE(ArquivoRegular::ler(pasta.arquivo("nada.ini"), 100, &falha));
    EXPECT_EQ(falha, ArquivoRegular::Falha::inexistente);
    EXPECT_FALSE(ArquivoRegular::ler(pasta.arquivo("grande.ini"), 100, &falha));
    EXPECT_EQ(falha, ArquivoRegular::Falha::grandeDemais);
    // An endless file that reports no size stops at the limit.
    EXPECT_FALSE(ArquivoRegular::ler(QStringLiteral("/proc/self/maps"), 16, &falha));
    EXPECT_EQ(falha, ArquivoRegular::Falha::grandeDemais);
    const std::optional<QByteArray> exato = ArquivoRegular::ler(pasta.escrever("exato", "12345"), 5, &falha);
    ASSERT_TRUE(exato);
    EXPECT_EQ(*exato, "12345");
    EXPECT_EQ(falha, ArquivoRegular::Falha::nenhuma);
}

TEST_F(ArquivoPerfilTest, ASafeWriteReplacesWholeKeepsPermissionsAndNeverWritesThroughAFifo)
{
    const QString alvo = pasta.escrever(QStringLiteral("alvo.ini"), "antigo");
    ASSERT_EQ(::chmod(QFile::encodeName(alvo).constData(), 0600), 0);
    EXPECT_TRUE(GravacaoSegura::gravar(alvo, "novo"));
    QFile lido(alvo);
    ASSERT_TRUE(lido.open(QIODevice::ReadOnly));
    EXPECT_EQ(lido.readAll(), "novo");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(alvo).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // A FIFO in the target's place is replaced by the file, never opened.
    const QString noLugar = fifo(QStringLiteral("fifo.ini"));
    EXPECT_TRUE(GravacaoSegura::gravar(noLugar, "x"));
    EXPECT_TRUE(QFileInfo(noLugar).isFile());
    // A folder that does not exist: nothing written, nothing left.
    EXPECT_FALSE(GravacaoSegura::gravar(pasta.arquivo("falta/alvo.ini"), "x"));
    QStringList restantes = QDir(pasta.caminho()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    restantes.sort();
    EXPECT_EQ(restantes, (QStringList{"alvo.ini", "fifo.ini"}));
}

}  // namespace
