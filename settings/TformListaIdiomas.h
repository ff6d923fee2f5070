#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// The language chooser: a small modal list shown before any language is
// loaded, so it carries no text of its own.
class TformListaIdiomas : public QDialog {
    Q_OBJECT
public:
    explicit TformListaIdiomas(QWidget *parent = nullptr);

    // Lists nomes, selects item atual (-1 selects nothing) and shows the dialog
    // modally; the selected index on OK (-1 with none), -1 on any other close.
    int escolher(const QStringList &nomes, int atual);

    QListWidget *getListaIdiomas() const { return listaIdiomas; }
    QPushButton *getBtnOk() const { return btnOk; }
    QPushButton *getBtnCancelar() const { return btnCancelar; }

protected:
    void showEvent(QShowEvent *evento) override;

private:
    void FormShow();
    void listaIdiomasDblClick();

    QListWidget *listaIdiomas;
    QPushButton *btnOk;
    QPushButton *btnCancelar;
};
