#include "player/Imagem.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

// Watches the application's mouse events while a picture holds the capture:
// every press goes to that picture, and the first release ends the capture,
// wherever the pointer is and even when the picture has been hidden.
class CapturaImagem : public QObject {
public:
    static CapturaImagem &instancia()
    {
        static QPointer<CapturaImagem> unica;
        if (!unica)
            unica = new CapturaImagem(qApp);
        return *unica;
    }

    QPointer<Imagem> captura;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (!captura)
            return false;
        if (!objeto->isWidgetType()) {
            // The platform window sees the release first. Qt drops a release whose
            // pressed widget has been hidden, so the capture ends here; the window
            // still gets the event, to keep Qt's own grab bookkeeping right.
            if (evento->type() == QEvent::MouseButtonRelease && objeto->isWindowType())
                terminar(static_cast<QMouseEvent *>(evento));
            return false;
        }
        switch (evento->type()) {
        case QEvent::MouseButtonPress: {
            auto *rato = static_cast<QMouseEvent *>(evento);
            emit captura->mouseDown(rato->button());
            return true;
        }
        case QEvent::MouseButtonDblClick:
            return true;  // its press came just before and went to the picture
        case QEvent::MouseButtonRelease:
            terminar(static_cast<QMouseEvent *>(evento));
            return true;
        default:
            return false;
        }
    }

private:
    void terminar(QMouseEvent *rato)
    {
        Imagem *imagem = captura;
        captura = nullptr;
        const QPoint ponto = imagem->mapFromGlobal(rato->globalPosition().toPoint());
        imagem->soltar(rato->button(), imagem->rect().contains(ponto));
    }

    explicit CapturaImagem(QObject *pai) : QObject(pai) { qApp->installEventFilter(this); }
};

Imagem::Imagem(QWidget *pai, const QString &nome) : QLabel(pai)
{
    setObjectName(nome);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CapturaImagem::instancia();
}

Imagem::~Imagem()
{
    if (getCaptura() == this)
        soltarCaptura();
}

Imagem *Imagem::getCaptura()
{
    return CapturaImagem::instancia().captura;
}

void Imagem::soltarCaptura()
{
    CapturaImagem::instancia().captura = nullptr;
}

void Imagem::cancelarCaptura()
{
    Imagem *imagem = getCaptura();
    soltarCaptura();
    if (imagem)
        emit imagem->mouseUp(Qt::NoButton);
}

void Imagem::paintEvent(QPaintEvent *evento)
{
    const QPixmap imagem = pixmap();
    if (isEnabled() || imagem.isNull()) {
        QLabel::paintEvent(evento);
        return;
    }
    QImage cinza = imagem.toImage();
    if (!cinza.hasAlphaChannel())  // grey would lose the transparency of a stick
        cinza = cinza.convertToFormat(QImage::Format_Grayscale8);
    QPainter pintor(this);
    pintor.setOpacity(opacidadeDesabilitada);
    pintor.drawImage(QPoint(0, 0), cinza);
}

void Imagem::mousePressEvent(QMouseEvent *evento)
{
    pressionar(evento);
}

void Imagem::mouseDoubleClickEvent(QMouseEvent *evento)
{
    // A double click's second press arrives as a press first; a lone double-click
    // event (synthetic input) is taken as the press.
    if (getCaptura() != this)
        pressionar(evento);
}

void Imagem::mouseReleaseEvent(QMouseEvent *evento)
{
    // Releases are handled by the capture; one without a press does nothing.
    evento->accept();
}

void Imagem::pressionar(QMouseEvent *evento)
{
    evento->accept();
    CapturaImagem::instancia().captura = this;
    emit mouseDown(evento->button());
}

void Imagem::soltar(Qt::MouseButton botao, bool sobre)
{
    QPointer<Imagem> viva(this);
    if (botao == Qt::LeftButton && sobre)
        emit clicado();
    if (viva)
        emit mouseUp(botao);
}
