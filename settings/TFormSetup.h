#pragma once

#include <QDialog>

#include <array>

class AbaPratica;
class QCheckBox;
class QGroupBox;
class QListWidget;
class PaginaKit;
class QPushButton;
class QTabWidget;
class QWidget;

// The MIDI setup dialog: picks the output device (opened the moment it is
// chosen) and switches the current song's tracks on and off. Box i of the
// channels tab is track i of the song.
class TFormSetup : public QDialog {
    Q_OBJECT

public:
    explicit TFormSetup(QWidget *parent = nullptr);
    ~TFormSetup() override;

    // The setup dialog built at start-up (the last one constructed and still
    // alive), for the windows that label its track boxes.
    static TFormSetup *FormSetup();

    // Controls, owned by the dialog. The song opening labels, checks and
    // enables the boxes of caixasCanal and CheckBoxSel directly.
    QTabWidget *PagCtrlSetup;
    QWidget *TabDrivers;
    QListWidget *ListBoxDrivers;
    QPushButton *btnAssistenteDriver;
    QWidget *TabCanais;
    QGroupBox *GroupBoxCanais;
    std::array<QCheckBox *, 16> caixasCanal{};
    QCheckBox *CheckBoxSel;
    PaginaKit *TabKit;  // the drum kit: input device, its sound, calibration
    AbaPratica *TabPratica;
    QPushButton *btnProgresso;  // in TabPratica: opens the practice progress of the open song
    QPushButton *btnOK;
    QPushButton *btnCancel;

protected:
    void showEvent(QShowEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void FormShow();
    void ListBoxDriversClick();
    void btnOKClick();
    void btnCancelClick();
    void btnAssistenteDriverClick();
    void CheckBoxClick(QCheckBox *caixa);
    void CheckBoxSelClick();

    void aplicarDriver();
    bool todasMarcadas() const;
    // Selects a device in the list without running ListBoxDriversClick.
    void selecionarDispositivo(int indice);
    int dispositivoSelecionado() const;
    // Opens the stored device again after another one was tried on the port.
    void reabrirDispositivoGuardado(bool avisarFalha);
    void avisarPlacaDesconfigurada();

    bool selecaoAtiva = true;
    int linhaAntesDoClique = -1;
};
