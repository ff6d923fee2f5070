#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The history needs no windows: a core application object is enough.
int main(int argc, char **argv)
{
    // Never the user's own practice history, not even from the programs a test starts.
    static QTemporaryDir dadosUsuario;  // static: deleted even when a test ends the process through exit()
    qputenv("XDG_DATA_HOME", QFile::encodeName(dadosUsuario.path()));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
