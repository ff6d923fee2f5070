#pragma once

#include <QString>

class QLabel;
class TFormPrincipal;

// The player window's design: creates every component at its place, with its
// built-in picture, font and colours, in the stacking order of the layout.
// Behaviour and texts from the language file are the window's own.
class DesenhoPrincipal {
public:
    static void montar(TFormPrincipal &janela);
    // Sets a label's caption; a label that fits its text keeps its left edge,
    // a centred one its centre.
    static void legendar(QLabel *rotulo, const QString &texto);
};
