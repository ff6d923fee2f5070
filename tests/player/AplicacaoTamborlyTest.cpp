// The application object's notify, which needs its own main: the suite's
// application must be an AplicacaoTamborly.

#include "platform/CaixaMensagem.h"
#include "player/AplicacaoTamborly.h"
#include "player/EAbort.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// An object whose events raise what the test asks for.
class Lancador : public QObject {
public:
    int tratados = 0;
    int tipoErro = 0;  // 0 none, 1 library-style error, 2 silent, 3 not of the family

protected:
    bool event(QEvent *evento) override
    {
        if (evento->type() != QEvent::User)
            return QObject::event(evento);
        ++tratados;
        switch (tipoErro) {
        case 1:
            throw std::runtime_error("sync not open");
        case 2:
            throw EAbort();
        case 3:
            throw 7;
        default:
            return true;
        }
    }
};

TEST(AplicacaoTamborlyTest, AnErrorEscapingAHandlerIsReportedAndTheLoopGoesOn)
{
    CaixaMensagem::gravar(true);
    Lancador lancador;
    lancador.tipoErro = 1;
    QCoreApplication::postEvent(&lancador, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_EQ(CaixaMensagem::registros().first().texto, QStringLiteral("sync not open."));
    EXPECT_EQ(CaixaMensagem::registros().first().titulo, AplicacaoTamborly::titulo());

    // The silent error is not reported; one outside the family gets the generic report.
    lancador.tipoErro = 2;
    QCoreApplication::postEvent(&lancador, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(CaixaMensagem::registros().size(), 1);
    lancador.tipoErro = 3;
    QCoreApplication::postEvent(&lancador, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(CaixaMensagem::registros().size(), 2);

    // A timer whose handler raises keeps firing: only that run ended.
    int disparos = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++disparos;
        throw std::runtime_error("tick");
    });
    timer.start(1);
    QEventLoop laco;
    QTimer::singleShot(5000, &laco, &QEventLoop::quit);
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (disparos >= 3)
            laco.quit();
    });
    vigia.start(1);
    laco.exec();
    EXPECT_GE(disparos, 3);
    EXPECT_EQ(CaixaMensagem::registros().last().texto, QStringLiteral("tick."));
    EXPECT_EQ(lancador.tratados, 3);
    CaixaMensagem::gravar(false);
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    AplicacaoTamborly aplicacao(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
