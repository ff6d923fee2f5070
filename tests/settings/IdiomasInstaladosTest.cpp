#include "settings/GerenciadorIdiomas.h"

#include "ArquivosIdioma.h"
#include "common/PastaTemporaria.h"
#include "platform/CaixaMensagem.h"
#include "settings/DecodificadorJpeg.h"
#include "settings/Idioma.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Chave {
    QString secao;
    QString chave;
    QSize imagem;  // valid for picture keys
};

QList<Chave> lerChaves()
{
    QFile arquivo(QStringLiteral(TAMBORLY_KEYS_TXT));
    EXPECT_TRUE(arquivo.open(QIODevice::ReadOnly));
    QList<Chave> chaves;
    for (const QString &linha : QString::fromUtf8(arquivo.readAll()).split(QLatin1Char('\n'))) {
        const QStringList partes = linha.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (partes.isEmpty() || partes[0].startsWith(QLatin1Char('#')))
            continue;
        Chave c {partes[0], partes.value(1), QSize()};
        if (partes.size() == 4) {
            const QStringList medida = partes[3].split(QLatin1Char('x'));
            c.imagem = QSize(medida.value(0).toInt(), medida.value(1).toInt());
        }
        chaves.append(c);
    }
    return chaves;
}

struct Pacote {
    int codigo = -1;
    QString erros;
};

Pacote empacotar(const QStringList &argumentos)
{
    QProcess processo;
    processo.start(QStringLiteral(TAMBORLY_LANGPACK), argumentos);
    processo.waitForFinished(120000);
    return {processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1,
            QString::fromLocal8Bit(processo.readAllStandardError())};
}

class IdiomasInstaladosTest : public ::testing::Test {
protected:
    void SetUp() override { CaixaMensagem::gravar(true); }
    void TearDown() override { CaixaMensagem::gravar(false); }
};

}

// Fails when a shipped language lacks a key of keys.txt, or a picture is missing,
// corrupt or of the wrong size.
TEST_F(IdiomasInstaladosTest, EveryShippedLanguageHasEveryKeyAndPicture)
{
    const QList<Chave> chaves = lerChaves();
    ASSERT_GT(chaves.size(), 80);
    PastaTemporaria pasta({"English.idm", "English.dat", "Portugues.idm", "Portugues.dat"});
    GerenciadorIdiomas gerenciador;
    ASSERT_EQ(gerenciador.getNomes(), (QStringList {"English", "Português"}));
    EXPECT_EQ(gerenciador.getArquivos(), (QStringList {"English", "Portugues"}));
    for (int i = 0; i < gerenciador.getNomes().size(); ++i) {
        ASSERT_NE(gerenciador.carregar(i), nullptr);
        const QString idioma = gerenciador.getNomes().at(i);
        for (const Chave &c : chaves) {
            EXPECT_FALSE(gerenciador.obterTexto(c.secao, c.chave).isEmpty())
                << qPrintable(idioma) << " lacks (" << qPrintable(c.secao) << ", " << qPrintable(c.chave) << ")";
            if (c.imagem.isValid()) {
                const QPixmap imagem = gerenciador.obterImagem(c.secao, c.chave);
                EXPECT_EQ(imagem.size(), c.imagem) << qPrintable(idioma) << " picture " << qPrintable(c.chave);
            }
        }
        EXPECT_EQ(gerenciador.obterTexto("frmPrincipal", "dlgRitmos"), "styles");
        EXPECT_TRUE(gerenciador.obterTexto("(r)parametros", "urlOrvalis").startsWith("https://"));
        EXPECT_EQ(gerenciador.obterTexto("EspecificacaoIdioma", "codAplicacao"), "Tamborly");
    }
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
    ASSERT_NE(gerenciador.selecionarIdioma("Português"), nullptr);
    EXPECT_EQ(gerenciador.obterTexto("(r)parametros", "caminhoAjuda"), "help/pt/index.html");
    EXPECT_EQ(gerenciador.obterTexto("parametros", "caminhoTutorial"), "help/pt/tutorial.html");
    ASSERT_NE(gerenciador.selecionarIdioma("English"), nullptr);
    EXPECT_EQ(gerenciador.obterTexto("(r)parametros", "caminhoAjuda"), "help/en/index.html");
    EXPECT_EQ(gerenciador.obterTexto("parametros", "caminhoTutorial"), "help/en/tutorial.html");
}

// The player window's labels do not grow: each text must fit before the next control.
TEST_F(IdiomasInstaladosTest, ShippedTextsFitThePlayerWindowsLabels)
{
    QFont fonte(QStringLiteral("DejaVu Sans"));
    fonte.setPixelSize(9);
    fonte.setBold(true);
    const QFontMetrics medida(fonte);
    struct Lugar {
        const char *chave;
        int largura;
    };
    const Lugar lugares[] = {
        // lblPlayer at 111 shows the status up to lblTempo at 195.
        {"Tocando", 84}, {"Pausa", 84}, {"InicioLoop", 84}, {"Repetindo", 84},
        {"Parado", 84}, {"Adiantando", 84}, {"Voltando", 84},
        {"lblTempo", 39},       // up to lblTime at 234
        {"lblVelocidade", 61},  // up to lblBPM at 450
        {"lblVolume", 44},      // centred over the 47-pixel shape behind the volume slider
    };
    PastaTemporaria pasta({"English.idm", "English.dat", "Portugues.idm", "Portugues.dat"});
    GerenciadorIdiomas gerenciador;
    for (int i = 0; i < gerenciador.getNomes().size(); ++i) {
        ASSERT_NE(gerenciador.carregar(i), nullptr);
        for (const Lugar &l : lugares) {
            const QString texto = gerenciador.obterTexto("frmPrincipal", l.chave);
            EXPECT_LE(medida.horizontalAdvance(texto), l.largura)
                << qPrintable(gerenciador.getNomes().at(i)) << " " << l.chave << ": " << qPrintable(texto);
        }
    }
}

TEST_F(IdiomasInstaladosTest, ThePackerWritesWindows1252AndPictureRanges)
{
    QTemporaryDir pasta;
    const QString chaves = pasta.filePath("keys.txt");
    const QString fonte = pasta.filePath("Teste.txt");
    ArquivosIdioma::gravar(chaves, "# test\nEspecificacaoIdioma nomeIdioma\np um picture 40x30\np dois picture 12x7\n");
    ArquivosIdioma::gravar(fonte, QStringLiteral("[EspecificacaoIdioma]\nnomeIdioma=Português\ncodAplicacao=Tamborly\n"
                                                 "[p]\num=@um\ndois=@dois\ntexto=a#b\n")
                                      .toUtf8());
    const QString idm = pasta.filePath("Teste.idm");
    const QString dat = pasta.filePath("Teste.dat");
    const Pacote pacote = empacotar({"--keys", chaves, "--source", fonte, "--placeholders", "--idm", idm, "--dat", dat});
    ASSERT_EQ(pacote.codigo, 0) << qPrintable(pacote.erros);

    QFile texto(idm);
    ASSERT_TRUE(texto.open(QIODevice::ReadOnly));
    const QByteArray bytes = texto.readAll();
    EXPECT_TRUE(bytes.contains("nomeIdioma=Portugu\xEAs\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n"));

    Idioma idioma(pasta.path(), "Teste.idm", "Teste.dat");
    const QString um = idioma.obterTexto("p", "um");
    const QString dois = idioma.obterTexto("p", "dois");
    EXPECT_TRUE(um.startsWith("0,")) << qPrintable(um);
    EXPECT_EQ(idioma.obterImagem("p", "um").size(), QSize(40, 30));
    EXPECT_EQ(idioma.obterImagem("p", "dois").size(), QSize(12, 7));
    // The ranges tile the picture file exactly.
    const QByteArray primeiro = idioma.lerBytesImagem(um);
    const QByteArray segundo = idioma.lerBytesImagem(dois);
    EXPECT_EQ(QFileInfo(dat).size(), primeiro.size() + segundo.size());
    EXPECT_EQ(dois, QStringLiteral("%1,%2").arg(primeiro.size()).arg(segundo.size()));
    EXPECT_EQ(idioma.obterTexto("p", "texto"), "a\r\nb");
    EXPECT_FALSE(idioma.getAvisoMostrado());
}

TEST_F(IdiomasInstaladosTest, ThePackerRefusesALanguageThatLacksAKeyOrAPicture)
{
    QTemporaryDir pasta;
    const QString chaves = pasta.filePath("keys.txt");
    ArquivosIdioma::gravar(chaves, "geral nomeAplicacao\ngeral faltando\np img picture 4x4\n");
    const QString fonte = pasta.filePath("Teste.txt");
    ArquivosIdioma::gravar(fonte, "[geral]\nnomeAplicacao=Tamborly\nfaltando=\n[p]\nimg=@img\n");
    const QStringList saida {"--idm", pasta.filePath("T.idm"), "--dat", pasta.filePath("T.dat")};
    Pacote pacote = empacotar(QStringList {"--keys", chaves, "--source", fonte, "--placeholders"} + saida);
    EXPECT_NE(pacote.codigo, 0);
    EXPECT_TRUE(pacote.erros.contains("(geral, faltando)")) << qPrintable(pacote.erros);
    EXPECT_FALSE(QFile::exists(pasta.filePath("T.idm")));

    ArquivosIdioma::gravar(fonte, "[geral]\nnomeAplicacao=Tamborly\nfaltando=x\n[p]\nimg=@img\n");
    pacote = empacotar(QStringList {"--keys", chaves, "--source", fonte, "--pictures", pasta.path()} + saida);
    EXPECT_NE(pacote.codigo, 0);  // img.jpg is not there
    ArquivosIdioma::gravar(pasta.filePath("img.jpg"), "not a jpeg");
    pacote = empacotar(QStringList {"--keys", chaves, "--source", fonte, "--pictures", pasta.path()} + saida);
    EXPECT_NE(pacote.codigo, 0);
    EXPECT_TRUE(pacote.erros.contains("not a JPEG")) << qPrintable(pacote.erros);

    ArquivosIdioma::gravar(fonte, QStringLiteral("[geral]\nnomeAplicacao=\u4E50\nfaltando=x\n[p]\nimg=@img\n").toUtf8());
    pacote = empacotar(QStringList {"--keys", chaves, "--source", fonte, "--placeholders"} + saida);
    EXPECT_NE(pacote.codigo, 0);
    EXPECT_TRUE(pacote.erros.contains("Windows-1252")) << qPrintable(pacote.erros);
}
