#include "platform/PastaAplicacao.h"

#include <QCoreApplication>

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
