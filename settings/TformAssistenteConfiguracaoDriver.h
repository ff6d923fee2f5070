#pragma once

#include <QDialog>
#include <QStringList>

#include <chrono>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;

// The wizard that finds an output device the user can hear: it offers each
// device in turn, plays a rising test scale on it and asks whether it sounded.
// It stores nothing; its callers keep the answer.
class TformAssistenteConfiguracaoDriver : public QDialog {
    Q_OBJECT

public:
    explicit TformAssistenteConfiguracaoDriver(QWidget *parent = nullptr);
    ~TformAssistenteConfiguracaoDriver() override;

    // Shows the wizard modally; returns the device heard, -1 when the user
    // cancelled, 0 in every other ending.
    int32_t executarAssistente();

    // The wizard built at start-up (the last one constructed and still alive),
    // so that the setup dialog can reach it whatever the order of construction.
    static TformAssistenteConfiguracaoDriver *formAssistenteConfiguracaoDriver();

    // How long each note of the test scale sounds (80 ms). Unit tests shorten it, so
    // that they walk the wizard without waiting for the scale the user hears.
    static void setPausaEscala(std::chrono::milliseconds pausa);
    static std::chrono::milliseconds getPausaEscala();

    // Controls, owned by the dialog.
    QFrame *Panel2;
    QLabel *Image1;
    QLabel *lblTitulo1;
    QLabel *lblExplicacao1;
    QLabel *lblLinkVolumeWindows;
    QLabel *lblTitulo2;
    QLabel *lblExplicacao2;
    QFrame *Panel1;
    QPushButton *btnEscutando;
    QPushButton *btnNaoEscutando;
    QPushButton *btnProsseguir;
    QPushButton *btnCancelar;
    QPushButton *btnFinalizar;

    void done(int r) override;

protected:
    void showEvent(QShowEvent *evento) override;
    void changeEvent(QEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    // The texts that do not change from step to step, from the loaded language.
    void aplicarIdioma();
    void FormShow();
    void FormClose();
    void btnProsseguirClick();
    void btnEscutandoClick();
    void btnNaoEscutandoClick();
    void btnCancelarClick();
    void btnFinalizarClick();
    void lblLinkVolumeWindowsClick();

    void mostrarPasso();
    void tocarTeste();
    // Drops the clicks and keys that queued up while the test scale blocked the window.
    void descartarEntradaPendente();
    void habilitarBotoes(bool habilitar);

    QStringList dispositivos;
    int32_t resultado = 0;
    int32_t passo = 0;
    int32_t atual = 0;
    bool descartandoEntrada = false;
};
