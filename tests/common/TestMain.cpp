#include "common/PastaTemporaria.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Every suite runs with a real application object, so widgets, timers and the
// hidden windows of the toolkit behave as in the program.
int main(int argc, char **argv)
{
    // Scored runs go to the practice history in the user's data folder: a test
    // run, and every program it starts, keeps them in a folder of its own instead.
    // Static, and the suites' folders deleted at exit: a death test's child ends
    // through exit() and must leave nothing behind either.
    static QTemporaryDir dadosUsuario;
    std::atexit(PastaTemporaria::apagarRestantes);
    qputenv("XDG_DATA_HOME", QFile::encodeName(dadosUsuario.path()));
    // Settings of a program folder that cannot be written go to the user's
    // configuration folder: never the real one during tests.
    static QTemporaryDir configuracaoUsuario;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuracaoUsuario.path()));
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
