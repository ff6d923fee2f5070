#pragma once

#include <QWidget>

class QLabel;

// The splash window: a borderless 250 x 250 square with the language's entry
// picture, shown for one second while the program starts.
class TformSplash : public QWidget {
    Q_OBJECT

public:
    explicit TformSplash(QWidget *parent = nullptr);

    // Shows the window centred, makes it paint at once and blocks the
    // application for the given time.
    void mostrarEsperando(int milissegundos);

    QLabel *imgEntrada;
};
