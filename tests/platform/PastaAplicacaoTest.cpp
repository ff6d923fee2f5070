#include "platform/PastaAplicacao.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PastaAplicacaoTest, JoinsWithOneSlashAndCanBePointedElsewhere)
{
    EXPECT_EQ(PastaAplicacao::caminho(), QCoreApplication::applicationDirPath());
    PastaAplicacao::definir(QStringLiteral("/tmp/x/"));
    EXPECT_EQ(PastaAplicacao::arquivo(QStringLiteral("styles")), QStringLiteral("/tmp/x/styles"));
    EXPECT_EQ(PastaAplicacao::arquivo(QStringLiteral("/help/en/index.html")), QStringLiteral("/tmp/x/help/en/index.html"));
    PastaAplicacao::definir(QString());
    EXPECT_EQ(PastaAplicacao::caminho(), QCoreApplication::applicationDirPath());
}

TEST(PastaAplicacaoTest, TheSettingsFileMovesToTheUsersFolderWhenTheProgramsFolderCannotBeWritten)
{
    QTemporaryDir aplicacao;
    QTemporaryDir usuario;
    const QByteArray anterior = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(usuario.path()));
    PastaAplicacao::definir(aplicacao.path());
    const QString aoLado = aplicacao.filePath(QStringLiteral("t.ini"));
    const QString doUsuario = usuario.filePath(QStringLiteral("tamborly/t.ini"));

    // The real check: a folder that does not exist cannot be written, a fresh one can
    // (the tests run as root, for whom permission bits do not count).
    EXPECT_TRUE(PastaAplicacao::gravavel());
    EXPECT_EQ(PastaAplicacao::arquivoConfiguracaoGravado(QStringLiteral("t.ini")), aoLado);
    EXPECT_EQ(PastaAplicacao::arquivoConfiguracaoLido(QStringLiteral("t.ini")), aoLado);
    PastaAplicacao::definir(aplicacao.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(PastaAplicacao::gravavel());
    PastaAplicacao::definir(aplicacao.path());

    // The variable documented for tests, then the seam.
    qputenv("TAMBORLY_APP_DIR_READ_ONLY", "1");
    EXPECT_FALSE(PastaAplicacao::gravavel());
    qunsetenv("TAMBORLY_APP_DIR_READ_ONLY");
    PastaAplicacao::definirGravavel(false);
    EXPECT_EQ(PastaAplicacao::pastaUsuario(), usuario.filePath(QStringLiteral("tamborly")));
    EXPECT_EQ(PastaAplicacao::arquivoConfiguracaoGravado(QStringLiteral("t.ini")), doUsuario);
    // Read from beside the program until the user has a file of their own.
    EXPECT_EQ(PastaAplicacao::arquivoConfiguracaoLido(QStringLiteral("t.ini")), aoLado);
    QDir().mkpath(QFileInfo(doUsuario).absolutePath());
    QFile arquivo(doUsuario);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.close();
    EXPECT_EQ(PastaAplicacao::arquivoConfiguracaoLido(QStringLiteral("t.ini")), doUsuario);

    PastaAplicacao::definirGravavel(std::nullopt);
    PastaAplicacao::definir(QString());
    qputenv("XDG_CONFIG_HOME", anterior);
}
