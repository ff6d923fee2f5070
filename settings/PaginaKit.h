#pragma once

#include "engine/Calibracao.h"
#include "engine/EntradaMIDI.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

// The setup dialog's kit tab: the MIDI input device (a drum kit, by name; opened the
// moment it is chosen), whether its hits sound through Tamborly, and the latency
// calibration.
class PaginaKit : public QWidget {
    Q_OBJECT

public:
    PaginaKit();
    ~PaginaKit() override;

    // Lists the input devices again and shows the stored choice and latency.
    void atualizar();
    bool calibrando() const { return cliqueAtual >= 0; }
    // A stroke during calibration (a pad or Space), at instante (us of CLOCK_MONOTONIC).
    void registrarBatida(int64_t instante);
    // Ends a calibration at once, changing nothing.
    void cancelarCalibracao();

    QLabel *lblEntrada;
    QComboBox *CmbEntrada;
    QCheckBox *ckSomKit;
    QPushButton *btnCalibrar;
    QLabel *lblLatencia;
    QLabel *lblCalibracao;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    // Another language chosen in the setup dialog: the tab's texts follow at once.
    void changeEvent(QEvent *evento) override;
    void hideEvent(QHideEvent *evento) override;

private:
    void CmbEntradaChange(int indice);
    void ckSomKitClick();
    void btnCalibrarClick();
    void tocarClique();
    // The next click (or the calibration's end) at instante, us of CLOCK_MONOTONIC.
    void programarClique(int64_t instante);
    void terminarCalibracao();
    void mostrarLatencia();

    // How long before its time a click is handed to the output.
    static constexpr int64_t antecedenciaCliqueUs = 100000;
    Calibracao calibracao;
    QTimer *timerCalibracao;
    int cliqueAtual = -1;  // the next click to play; -1 while not calibrating
    EntradaMIDI::Receptor receptorAnterior;
    bool preenchendo = false;
};
