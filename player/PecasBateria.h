#pragma once

#include <QList>

class QLabel;
class QWidget;

// Creates the drum kit's pictures in the player window's kit panel.
class PecasBateria {
public:
    // Creates one QLabel per row of tabelaBateria in pnInstrumento, lowest first,
    // named after the picture, placed at its rectangle, with its built-in picture;
    // all hidden except imgBateria. Call it before creating anything that must lie
    // above the kit (the keyboard help). The panel owns the labels; the result
    // lists them in stacking order.
    static QList<QLabel *> criar(QWidget *pnInstrumento);
};
