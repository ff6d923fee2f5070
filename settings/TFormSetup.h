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

    // Box i stands for a track of that name (an empty name: the track has none),
    // shown literally, cut with "…" to fit, the full name as its hint.
    void mostrarTrilha(int indice, const QString &nome);
    // Box i stands for no track: disabled, cleared without running its handler
    // (there is no track to silence), captioned as an empty box.
    void esvaziarCaixa(int indice);

    // Controls, owned by the dialog. The song opening checks and enables the
    // boxes of caixasCanal and CheckBoxSel directly.
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
    QWidget *TabIdioma;
    QGroupBox *GroupBoxIdioma;
    QListWidget *ListBoxIdiomas;
    QPushButton *btnOK;
    QPushButton *btnCancel;

protected:
    void showEvent(QShowEvent *evento) override;
    void changeEvent(QEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void FormShow();
    void ListBoxDriversClick();
    void btnOKClick();
    void btnCancelClick();
    void btnAssistenteDriverClick();
    void CheckBoxClick(QCheckBox *caixa);
    void CheckBoxSelClick();
    void ListBoxIdiomasClick();

    void aplicarDriver();
    bool todasMarcadas() const;
    // Selects a device in the list without running ListBoxDriversClick.
    void selecionarDispositivo(int indice);
    int dispositivoSelecionado() const;
    // Opens the stored device again after another one was tried on the port.
    void reabrirDispositivoGuardado(bool avisarFalha);
    void avisarPlacaDesconfigurada();
    // After a refused device: the one in use selected, the cursor left on the refused one.
    void voltarAoDispositivoEmUso(int recusado);
    // The texts of the loaded language; again whenever the language changes.
    void aplicarIdioma();
    void legendarCaixa(QCheckBox *caixa);
    void selecionarIdiomaAtual();
    // Over the middle of the player window, inside the screen.
    void centralizarSobreDono();

    bool selecaoAtiva = true;
    int linhaAntesDoClique = -1;
    bool restaurandoSelecao = false;  // a refused device's selection is being undone
};
