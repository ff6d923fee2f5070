#pragma once

#include <QPointer>

#include <cstdint>

class QLabel;

// The on-screen instrument. The base shows nothing; the drum kit overrides the
// four operations.
class Instrumento {
public:
    // fundo: the instrument's background picture; it belongs to the player window.
    explicit Instrumento(QLabel *fundo = nullptr);
    // Hides the background picture and collapses it to 15 x 15 at the panel's corner.
    virtual ~Instrumento();
    Instrumento(const Instrumento &) = delete;
    Instrumento &operator=(const Instrumento &) = delete;

    virtual void mostrarNota(uint32_t nota);
    virtual void esconderNota(uint32_t nota);
    virtual void esconderTudo();
    virtual void desmontar();

protected:
    // Widgets can only be touched while the application object exists; the
    // instrument may be destroyed after it, at the end of the process.
    static bool podeMexerNasImagens();

    // Not owned: a picture of the player window. Guarded, because the window may
    // go before the instrument does.
    QPointer<QLabel> fundo;
};
