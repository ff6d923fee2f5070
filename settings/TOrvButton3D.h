#pragma once

#include <QLabel>
#include <QPixmap>

class QMouseEvent;

enum TOrvButton3DStyle {
    bsDropWhenPressed = 0,  // pressed while the left button is held on it
    bsHoldWhenPressed = 1,  // a click presses it, the next click releases it
};

// A picture that behaves like a push button: one picture released, another pressed.
class TOrvButton3D : public QLabel {
    Q_OBJECT
public:
    // 100 x 27 with the hand cursor, no pictures, spring-back style.
    explicit TOrvButton3D(QWidget *parent = nullptr);

    // Copy the picture in; the control shows it at once and takes its size.
    void SetImagemPressionada(const QPixmap &imagem);
    void SetImagemSolta(const QPixmap &imagem);
    // Shows the pressed or the released picture.
    void SetPressed(bool valor);

    const QPixmap &getDPictureDown() const { return dPictureDown; }
    const QPixmap &getDPictureUp() const { return dPictureUp; }
    TOrvButton3DStyle getDButtonStyle() const { return dButtonStyle; }
    void setDButtonStyle(TOrvButton3DStyle estilo) { dButtonStyle = estilo; }
    bool getDPressed() const { return dPressed; }

    void MouseDown(Qt::MouseButton botao, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton botao, Qt::KeyboardModifiers shift, int x, int y);

signals:
    // The control's own mouse events; a button other than the left one raises none.
    void mouseDown(Qt::MouseButton botao, Qt::KeyboardModifiers shift, int x, int y);
    void mouseUp(Qt::MouseButton botao, Qt::KeyboardModifiers shift, int x, int y);
    // A left click released over the control, after the picture has changed.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *evento) override;
    void mouseReleaseEvent(QMouseEvent *evento) override;

private:
    void SoltarBotao();
    void PressionarBotao();
    void mostrar(const QPixmap &imagem);

    QPixmap dPictureDown;
    QPixmap dPictureUp;
    TOrvButton3DStyle dButtonStyle = bsDropWhenPressed;
    bool dPressed = false;
    bool soltarNoProximoClique = false;
};
