#include "settings/TOrvButton3D.h"

#include <QMouseEvent>

TOrvButton3D::TOrvButton3D(QWidget *parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    resize(100, 27);
}

void TOrvButton3D::SetImagemPressionada(const QPixmap &imagem)
{
    dPictureDown = imagem;
    PressionarBotao();
}

void TOrvButton3D::SetImagemSolta(const QPixmap &imagem)
{
    dPictureUp = imagem;
    SoltarBotao();
}

void TOrvButton3D::SetPressed(bool valor)
{
    if (valor)
        PressionarBotao();
    else
        SoltarBotao();
    dPressed = valor;
}

void TOrvButton3D::SoltarBotao()
{
    mostrar(dPictureUp);
}

void TOrvButton3D::PressionarBotao()
{
    mostrar(dPictureDown);
}

// Pictures of different sizes make the control grow or shrink at its top-left corner.
void TOrvButton3D::mostrar(const QPixmap &imagem)
{
    setPixmap(imagem);
    resize(imagem.size());
}

void TOrvButton3D::MouseDown(Qt::MouseButton botao, Qt::KeyboardModifiers shift, int x, int y)
{
    if (botao != Qt::LeftButton)
        return;
    if (dButtonStyle == bsDropWhenPressed)
        SetPressed(true);
    else if (dPressed)
        soltarNoProximoClique = true;
    else
        SetPressed(true);
    emit mouseDown(botao, shift, x, y);
}

void TOrvButton3D::MouseUp(Qt::MouseButton botao, Qt::KeyboardModifiers shift, int x, int y)
{
    if (botao != Qt::LeftButton)
        return;
    if (dButtonStyle == bsDropWhenPressed) {
        SetPressed(false);
    } else if (soltarNoProximoClique) {
        SetPressed(false);
        soltarNoProximoClique = false;
    }
    emit mouseUp(botao, shift, x, y);
}

void TOrvButton3D::mousePressEvent(QMouseEvent *evento)
{
    const QPoint p = evento->position().toPoint();
    MouseDown(evento->button(), evento->modifiers(), p.x(), p.y());
    evento->accept();
}

void TOrvButton3D::mouseReleaseEvent(QMouseEvent *evento)
{
    const QPoint p = evento->position().toPoint();
    // Decide before MouseUp: the release may shrink the control under the pointer.
    const bool sobreOControle = rect().contains(p);
    MouseUp(evento->button(), evento->modifiers(), p.x(), p.y());
    evento->accept();
    if (evento->button() == Qt::LeftButton && sobreOControle)
        emit clicked();
}
