#include "settings/AbaPratica.h"

#include "engine/Sequenciador.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString texto(const char *chave)
{
    return GerenciadorIdiomas::texto("frmPratica", chave);
}

QSpinBox *percentual(QWidget *pai, const char *nome, int minimo, int maximo)
{
    auto *caixa = new QSpinBox(pai);
    caixa->setObjectName(QString::fromLatin1(nome));
    caixa->setRange(minimo, maximo);
    caixa->setSuffix(QStringLiteral(" ") + texto("sufixoPercentual"));
    caixa->setKeyboardTracking(false);  // typing "85" is one change, not "8" then "85"
    return caixa;
}

QLabel *rotulo(QWidget *pai, const char *nome, QWidget *amigo)
{
    auto *r = new QLabel(texto(nome), pai);
    r->setObjectName(QString::fromLatin1(nome));
    r->setBuddy(amigo);
    return r;
}

}  // namespace

AbaPratica::AbaPratica(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabPratica"));

    GroupBoxMetronomo = new QGroupBox(texto("GroupBoxMetronomo"), this);
    GroupBoxMetronomo->setObjectName(QStringLiteral("GroupBoxMetronomo"));
    ckContagem = new QCheckBox(texto("ckContagem"), GroupBoxMetronomo);
    ckContagem->setObjectName(QStringLiteral("ckContagem"));
    ckMetronomo = new QCheckBox(texto("ckMetronomo"), GroupBoxMetronomo);
    ckMetronomo->setObjectName(QStringLiteral("ckMetronomo"));
    spnVolumeMetronomo = percentual(GroupBoxMetronomo, "spnVolumeMetronomo", 0, 100);
    lblVolumeMetronomo = rotulo(GroupBoxMetronomo, "lblVolumeMetronomo", spnVolumeMetronomo);
    // The volume beside the metronome's box: it is the clicks' volume, the count-in's too.
    auto *metronomo = new QGridLayout(GroupBoxMetronomo);
    metronomo->setContentsMargins(8, 2, 8, 3);
    metronomo->setVerticalSpacing(2);
    metronomo->addWidget(ckContagem, 0, 0, 1, 3);
    metronomo->addWidget(ckMetronomo, 1, 0);
    metronomo->addWidget(lblVolumeMetronomo, 1, 1, Qt::AlignRight);
    metronomo->addWidget(spnVolumeMetronomo, 1, 2);
    metronomo->setColumnStretch(0, 1);

    GroupBoxTreino = new QGroupBox(texto("GroupBoxTreino"), this);
    GroupBoxTreino->setObjectName(QStringLiteral("GroupBoxTreino"));
    ckTreino = new QCheckBox(texto("ckTreino"), GroupBoxTreino);
    ckTreino->setObjectName(QStringLiteral("ckTreino"));
    spnInicio = percentual(GroupBoxTreino, "spnInicio", 25, 200);
    spnPasso = percentual(GroupBoxTreino, "spnPasso", 1, 50);
    spnAlvo = percentual(GroupBoxTreino, "spnAlvo", 25, 200);
    lblInicio = rotulo(GroupBoxTreino, "lblInicio", spnInicio);
    lblPasso = rotulo(GroupBoxTreino, "lblPasso", spnPasso);
    lblAlvo = rotulo(GroupBoxTreino, "lblAlvo", spnAlvo);
    // Start and target side by side, the step below the start.
    auto *treino = new QGridLayout(GroupBoxTreino);
    treino->setContentsMargins(8, 2, 8, 3);
    treino->setVerticalSpacing(2);
    treino->addWidget(ckTreino, 0, 0, 1, 5);
    treino->addWidget(lblInicio, 1, 0);
    treino->addWidget(spnInicio, 1, 1);
    treino->addWidget(lblAlvo, 1, 3);
    treino->addWidget(spnAlvo, 1, 4);
    treino->addWidget(lblPasso, 2, 0);
    treino->addWidget(spnPasso, 2, 1);
    treino->setColumnStretch(2, 1);

    layoutPratica = new QVBoxLayout(this);
    layoutPratica->setContentsMargins(0, 2, 0, 0);
    layoutPratica->setSpacing(2);
    layoutPratica->addWidget(GroupBoxMetronomo);
    layoutPratica->addWidget(GroupBoxTreino);
    layoutPratica->addStretch();

    const ArquivoConfiguracao::Pratica pratica = ArquivoConfiguracao::instancia().getPratica();
    ckContagem->setChecked(pratica.contagem);
    ckMetronomo->setChecked(pratica.metronomo);
    spnVolumeMetronomo->setValue(pratica.volumeMetronomo);
    ckTreino->setChecked(pratica.treino);
    spnInicio->setValue(pratica.treinoInicio);
    spnPasso->setValue(pratica.treinoPasso);
    spnAlvo->setValue(pratica.treinoAlvo);
    aplicar();

    for (QCheckBox *caixa : {ckContagem, ckMetronomo, ckTreino})
        connect(caixa, &QCheckBox::toggled, this, &AbaPratica::aplicar);
    for (QSpinBox *caixa : {spnVolumeMetronomo, spnInicio, spnPasso, spnAlvo})
        connect(caixa, &QSpinBox::valueChanged, this, &AbaPratica::aplicar);
}

void AbaPratica::aplicar()
{
    ArquivoConfiguracao::Pratica pratica;
    pratica.contagem = ckContagem->isChecked();
    pratica.metronomo = ckMetronomo->isChecked();
    pratica.volumeMetronomo = spnVolumeMetronomo->value();
    pratica.treino = ckTreino->isChecked();
    pratica.treinoInicio = spnInicio->value();
    pratica.treinoPasso = spnPasso->value();
    pratica.treinoAlvo = spnAlvo->value();
    ArquivoConfiguracao::instancia().setPratica(pratica);

    // The volume and the trainer's speeds only mean something while their box is ticked.
    spnVolumeMetronomo->setEnabled(pratica.contagem || pratica.metronomo);
    lblVolumeMetronomo->setEnabled(pratica.contagem || pratica.metronomo);
    for (QWidget *controle : std::initializer_list<QWidget *>{lblInicio, spnInicio, lblPasso, spnPasso, lblAlvo, spnAlvo})
        controle->setEnabled(pratica.treino);

    Sequenciador &sequenciador = Sequenciador::instancia();
    Metronomo &metronomo = sequenciador.getMetronomo();
    metronomo.setContagem(pratica.contagem);
    metronomo.setLigado(pratica.metronomo);
    metronomo.setVolume(pratica.volumeMetronomo);
    TreinadorAndamento &treinador = sequenciador.getTreinador();
    treinador.configurar(pratica.treinoInicio, pratica.treinoPasso, pratica.treinoAlvo);
    treinador.setLigado(pratica.treino);
}
