#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QVBoxLayout;

// The Practice tab of the setup dialog: count-in, metronome with its own volume,
// and the tempo trainer. Like the rest of the dialog, a change takes effect at
// once: it goes to the engine and to the settings (saved when the window closes).
class AbaPratica : public QWidget {
    Q_OBJECT

public:
    // Shows the stored practice settings and hands them to the engine.
    explicit AbaPratica(QWidget *parent = nullptr);

    QGroupBox *GroupBoxMetronomo;
    QCheckBox *ckContagem;
    QCheckBox *ckMetronomo;
    QLabel *lblVolumeMetronomo;
    QSpinBox *spnVolumeMetronomo;
    QGroupBox *GroupBoxTreino;
    QCheckBox *ckTreino;
    QLabel *lblInicio, *lblPasso, *lblAlvo;
    QSpinBox *spnInicio, *spnPasso, *spnAlvo;
    // The tab's column: further practice controls go below the two groups.
    QVBoxLayout *layoutPratica;

private:
    // The controls' values to the settings object and the engine.
    void aplicar();
};
