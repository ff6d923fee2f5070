#pragma once

#include <QLabel>
#include <QPointer>

class QMouseEvent;

// A picture control of the player window: a label that reports mouse-down,
// mouse-up and click like a picture of the original platform. The press
// captures the mouse for the picture, and the capture survives the picture
// being hidden, which every picture button relies on: its mouse-down hides it
// behind its pressed twin, and its mouse-up must still arrive.
class Imagem : public QLabel {
    Q_OBJECT

public:
    explicit Imagem(QWidget *pai, const QString &nome);
    ~Imagem() override;

    // How much of a disabled picture shows over what lies beneath it.
    static constexpr double opacidadeDesabilitada = 0.35;

    // The component's integer tag (its index in the picture-button table).
    int getTag() const { return tag; }
    void setTag(int valor) { tag = valor; }

    // The picture that holds the capture, or null.
    static Imagem *getCaptura();
    // Gives the capture up without a mouse-up (moving the window by the top bar).
    static void soltarCaptura();
    // Ends the capture as if the button had been released outside the picture:
    // mouse-up with no button and no click. Used when the window loses activation.
    static void cancelarCaptura();

signals:
    // Any button pressed on the picture (a double click counts as a press).
    void mouseDown(Qt::MouseButton botao);
    // The first button released after a mouse-down, wherever the pointer is;
    // Qt::NoButton when the capture was cancelled.
    void mouseUp(Qt::MouseButton botao);
    // Left button pressed and released over the picture; comes before mouseUp.
    void clicado();

protected:
    // A disabled picture is drawn faded into what lies beneath it, never in the
    // light tint Qt gives disabled pictures, which reads as a lit, pressed button.
    void paintEvent(QPaintEvent *evento) override;
    void mousePressEvent(QMouseEvent *evento) override;
    void mouseDoubleClickEvent(QMouseEvent *evento) override;
    void mouseReleaseEvent(QMouseEvent *evento) override;

private:
    friend class CapturaImagem;
    void pressionar(QMouseEvent *evento);
    // Runs the end of a press: click when released over the picture, then mouse-up.
    void soltar(Qt::MouseButton botao, bool sobre);

    int tag = 0;
};
