#include "settings/TformListaIdiomas.h"

#include "ArquivosIdioma.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs acao on the dialog as soon as it shows modally.
void quandoMostrar(const std::function<void(TformListaIdiomas *)> &acao)
{
    auto *temporizador = new QTimer(qApp);
    QObject::connect(temporizador, &QTimer::timeout, [temporizador, acao] {
        auto *dialogo = qobject_cast<TformListaIdiomas *>(QApplication::activeModalWidget());
        if (!dialogo)
            return;
        temporizador->stop();
        temporizador->deleteLater();
        acao(dialogo);
    });
    temporizador->start(10);
}

}

TEST(TformListaIdiomas, ReturnsTheSelectionOnOkAndMinusOneOtherwise)
{
    TformListaIdiomas dialogo;
    const QStringList nomes {"English", "Português", "Deutsch"};

    quandoMostrar([](TformListaIdiomas *d) {
        EXPECT_EQ(d->getListaIdiomas()->currentRow(), 1);
        EXPECT_TRUE(d->getBtnOk()->isDefault());
        EXPECT_EQ(d->focusWidget(), d->getListaIdiomas());
        d->getBtnOk()->click();
    });
    EXPECT_EQ(dialogo.escolher(nomes, 1), 1);

    quandoMostrar([](TformListaIdiomas *d) { QTest::keyClick(d->getListaIdiomas(), Qt::Key_Return); });
    EXPECT_EQ(dialogo.escolher(nomes, 2), 2);   // Enter presses the default button

    quandoMostrar([](TformListaIdiomas *d) {
        EXPECT_EQ(d->getListaIdiomas()->count(), 3);
        EXPECT_TRUE(d->getListaIdiomas()->selectedItems().isEmpty());
        d->getBtnOk()->click();
    });
    EXPECT_EQ(dialogo.escolher(nomes, -1), -1);  // OK with nothing selected

    quandoMostrar([](TformListaIdiomas *d) { d->getBtnCancelar()->click(); });
    EXPECT_EQ(dialogo.escolher(nomes, 0), -1);

    quandoMostrar([](TformListaIdiomas *d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(dialogo.escolher(nomes, 0), -1);

    quandoMostrar([](TformListaIdiomas *d) { d->close(); });
    EXPECT_EQ(dialogo.escolher(nomes, 0), -1);

    quandoMostrar([](TformListaIdiomas *d) {
        QListWidget *lista = d->getListaIdiomas();
        const QRect item = lista->visualItemRect(lista->item(2));
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, item.center());
        if (d->isVisible()) {
            ADD_FAILURE() << "a double click on " << item.x() << "," << item.y() << " did not close the dialog";
            d->reject();
        }
    });
    EXPECT_EQ(dialogo.escolher({"English", "Português", "Deutsch"}, 0), 2);
    EXPECT_EQ(dialogo.size(), QSize(236, 252));
}
