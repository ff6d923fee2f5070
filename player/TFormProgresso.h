#pragma once

#include <QDateTime>
#include <QDialog>

class GraficoProgresso;
class HistoricoPratica;
class QLabel;
class QPushButton;

// The progress view of one song: accuracy and mean offset over its scored runs,
// the best run, the practice time of this week and the drums that need work.
// With no runs yet it says how to start.
class TFormProgresso : public QDialog {
    Q_OBJECT

public:
    explicit TFormProgresso(QWidget *parent = nullptr);
    ~TFormProgresso() override;

    // Fills the view with the runs of the song in arquivoMusica (an empty name:
    // no song open) from the history; agora decides which week is this week.
    void mostrarMusica(const QString &arquivoMusica, HistoricoPratica *historico,
                       const QDateTime &agora = QDateTime::currentDateTime());

    // Controls, owned by the dialog.
    QLabel *lblTitulo;
    GraficoProgresso *grafico;
    QLabel *lblVazio;
    QLabel *lblMelhor;
    QLabel *lblSemana;
    QLabel *lblFamilias;
    QPushButton *btnFechar;

private:
    void mostrarVazio(const QString &texto);
};
