#include "player/TformSplash.h"

#include "settings/GerenciadorIdiomas.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QThread>
#include <QWindow>

TformSplash::TformSplash(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("formSplash"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(250, 250);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, QColor(33, 100, 173));
    setPalette(paleta);
    setAutoFillBackground(true);
    imgEntrada = new QLabel(this);
    imgEntrada->setObjectName(QStringLiteral("imgEntrada"));
    imgEntrada->setGeometry(0, 0, 250, 250);
    imgEntrada->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgEntrada->setPixmap(
        GerenciadorIdiomas::instancia()->obterImagem(QStringLiteral("frmEntrada"), QStringLiteral("imgEntrada")));
}

void TformSplash::mostrarEsperando(int milissegundos)
{
    if (QScreen *tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
    show();
    // The window system maps the window asynchronously: wait (briefly) until it
    // can be painted, paint, and push the picture out before blocking.
    const QDeadlineTimer limite(2000);
    while (!limite.hasExpired() && !(windowHandle() && windowHandle()->isExposed())) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
    QGuiApplication::sync();
    QThread::msleep(static_cast<unsigned long>(milissegundos));
}
