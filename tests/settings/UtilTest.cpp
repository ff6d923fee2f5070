#include "settings/Util.h"
#include "settings/Utilgui.h"

#include "ArquivosIdioma.h"
#include "platform/Navegador.h"
#include "platform/PastaAplicacao.h"
#include "platform/VersaoPrograma.h"
#include "settings/EFOpenError.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class GravadorUrl : public QObject {
    Q_OBJECT
public:
    QList<QUrl> abertas;
public slots:
    void abrir(const QUrl &url) { abertas.append(url); }
};

// A program that writes its arguments, one a line, to the file "saida" beside it.
QString escreverPrograma(const QTemporaryDir &pasta, const QString &nome)
{
    const QString caminho = pasta.filePath(nome);
    QFile arquivo(caminho);
    EXPECT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '%1.tmp'\n/bin/mv '%1.tmp' '%1'\n")
                      .arg(pasta.filePath(nome + QStringLiteral(".saida")))
                      .toUtf8());
    arquivo.close();
    arquivo.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return caminho;
}

QStringList argumentosRecebidos(const QTemporaryDir &pasta, const QString &nome)
{
    const QString saida = pasta.filePath(nome + QStringLiteral(".saida"));
    if (!ArquivosIdioma::esperar([&] { return QFile::exists(saida); }))
        return {QStringLiteral("<never started>")};
    QFile arquivo(saida);
    arquivo.open(QIODevice::ReadOnly);
    QStringList linhas = QString::fromUtf8(arquivo.readAll()).split(QLatin1Char('\n'));
    linhas.removeAll(QString());
    return linhas;
}

class CaminhoDeProgramas {
public:
    explicit CaminhoDeProgramas(const QString &caminho) : anterior(qgetenv("PATH")) { qputenv("PATH", caminho.toUtf8()); }
    ~CaminhoDeProgramas() { qputenv("PATH", anterior); }
private:
    QByteArray anterior;
};

}

TEST(Utilgui, TheVersionIsTheBuildsVersionAsFourNumbers)
{
    EXPECT_EQ(Utilgui::versaoDoArquivo(), "1.0.0.0");
    EXPECT_EQ(VersaoPrograma::formatar("2.5"), "2.5.0.0");
    EXPECT_EQ(VersaoPrograma::formatar("1.2.3.4"), "1.2.3.4");
    for (const char *invalida : {"", "1.2.3.4.5", "1..2", "x.1", "1.-2", " "})
        EXPECT_EQ(VersaoPrograma::formatar(QString::fromLatin1(invalida)), QString()) << invalida;
}

TEST(Util, AProgramThatCannotStartRaisesAnEmptyFileOpenError)
{
    try {
        Util::executarPrograma("/nonexistent/tamborly-no-such-program", "x");
        FAIL() << "no error raised";
    } catch (const EFOpenError &erro) {
        EXPECT_STREQ(erro.what(), "");
    }
    QTemporaryDir vazia;
    CaminhoDeProgramas caminho(vazia.path());
    EXPECT_THROW(Util::executarPrograma("tamborly-no-such-program", ""), EFOpenError);
    EXPECT_THROW(Util::executarPrograma("sndvol32.exe", ""), EFOpenError);  // no mixer on the PATH
}

TEST(Util, ParametersReachTheProgramAsArgumentsWithoutAShell)
{
    QTemporaryDir pasta;
    const QString programa = escreverPrograma(pasta, "eco");
    const QString alvo = pasta.filePath("nao-criar");
    Util::executarPrograma(programa, QStringLiteral("\"two words\" ; touch %1 $(touch %1)").arg(alvo));
    EXPECT_EQ(argumentosRecebidos(pasta, "eco"),
              (QStringList {"two words", ";", "touch", alvo, QStringLiteral("$(touch"), alvo + ")"}));
    EXPECT_FALSE(QFile::exists(alvo));
}

TEST(Util, TheVolumeControlStartsTheFirstDesktopMixerOnThePath)
{
    QTemporaryDir pasta;
    escreverPrograma(pasta, "kmix");
    escreverPrograma(pasta, "gnome-control-center");
    {
        CaminhoDeProgramas caminho(pasta.path());
        Util::executarPrograma("SNDVOL32.EXE", "");
    }
    EXPECT_EQ(argumentosRecebidos(pasta, "gnome-control-center"), QStringList {"sound"});
    EXPECT_FALSE(QFile::exists(pasta.filePath("kmix.saida")));

    escreverPrograma(pasta, "pavucontrol");
    {
        CaminhoDeProgramas caminho(pasta.path());
        Util::executarPrograma("sndvol32.exe", "");
    }
    EXPECT_EQ(argumentosRecebidos(pasta, "pavucontrol"), QStringList {});
}

TEST(Util, DocumentsAndAddressesGoToTheBrowserAsOneAddress)
{
    GravadorUrl gravador;
    QDesktopServices::setUrlHandler("https", &gravador, "abrir");
    QDesktopServices::setUrlHandler("file", &gravador, "abrir");
    PastaAplicacao::definir("/opt/tam borly");
    EXPECT_TRUE(Util::abrirDocumento("https://tamborly.example.org/"));
    EXPECT_TRUE(Util::abrirDocumento("/opt/tam borly/help/en/index.html"));
    EXPECT_TRUE(Util::abrirDocumento("help/pt/tutorial.html"));
    EXPECT_TRUE(Util::abrirDocumento("/tmp/a;b $(x) 'c'.html"));
    // The browser "iexplore.exe" of the window's web link opens the same way.
    Util::executarPrograma("iexplore.exe", "https://tamborly.example.org/contact");
    PastaAplicacao::definir(QString());
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(gravador.abertas.size(), 5);
    EXPECT_EQ(gravador.abertas[0], QUrl("https://tamborly.example.org/"));
    EXPECT_EQ(gravador.abertas[1], QUrl::fromLocalFile("/opt/tam borly/help/en/index.html"));
    EXPECT_EQ(gravador.abertas[2], QUrl::fromLocalFile("/opt/tam borly/help/pt/tutorial.html"));
    EXPECT_EQ(gravador.abertas[3].toLocalFile(), "/tmp/a;b $(x) 'c'.html");
    EXPECT_EQ(gravador.abertas[4], QUrl("https://tamborly.example.org/contact"));
    // Nothing to hand over is reported, not raised.
    EXPECT_FALSE(Util::abrirDocumento(""));
    EXPECT_THROW(Util::executarPrograma("iexplore.exe", ""), EFOpenError);
}

// The offscreen platform of the test run has no desktop services, which is how
// a desktop without any browser answers.
TEST(Util, ABrowserThatCannotBeStartedIsReportedAsFalse)
{
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    EXPECT_FALSE(Util::abrirDocumento("https://tamborly.example.org/"));
    EXPECT_FALSE(Util::abrirDocumento("/nonexistent/help/en/index.html"));
}

#include "UtilTest.moc"
