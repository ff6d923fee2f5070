#include "settings/TFormSetup.h"

#include "engine/SaidaMIDI.h"
#include "platform/CaixaMensagem.h"
#include "settings/AbaPratica.h"
#include "player/Instrumento.h"
#include "player/RegistroPratica.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/Utilgui.h"
#include "settings/PaginaKit.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "song/GerenciadorMusica.h"
#include "song/Musica.h"
#include "song/Trilha.h"

#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

TFormSetup *setupCriado = nullptr;

const char *const propriedadeTag = "tag";
// The name of the track a box stands for; absent for a box without a track.
const char *const propriedadeNome = "nomeTrilha";
// The right edge of the boxes: inside the group box's frame.
constexpr int limiteCaixas = 281 - 6;

QString textoDoSetup(const char *chave)
{
    return GerenciadorIdiomas::textoDeRotulo("frmSetup", chave);
}

struct PosicaoCaixa {
    int x, y, largura;
};

// Two columns of eight boxes; the widths differ box by box, as the dialog was drawn.
PosicaoCaixa posicaoDaCaixa(int i)
{
    if (i == 0)
        return {12, 13, 126};
    if (i < 8)
        return {12, 30 + 16 * (i - 1), 133};
    if (i == 8)
        return {153, 13, 132};
    if (i < 15)
        return {153, 29 + 16 * (i - 9), 120};
    return {153, 125, 97};
}

QString semMnemonico(QString texto)
{
    // A check box would take "&" as the mark of a shortcut letter.
    return texto.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

TFormSetup::TFormSetup(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSetup"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFont(Utilgui::fonte(11));
    setWindowTitle(QStringLiteral("Setup"));
    // 298 x 308 with the frame; this is the client area inside it. It opens over
    // the player window (centralizarSobreDono), wherever that is.
    setFixedSize(290, 281);

    PagCtrlSetup = new QTabWidget(this);
    PagCtrlSetup->setGeometry(0, 8, 289, 233);

    TabDrivers = new QWidget;
    PagCtrlSetup->addTab(TabDrivers, QStringLiteral("Drivers"));
    ListBoxDrivers = new QListWidget(TabDrivers);
    ListBoxDrivers->setGeometry(7, 6, 267, 158);
    ListBoxDrivers->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxDrivers->setUniformItemSizes(true);
    ListBoxDrivers->viewport()->installEventFilter(this);
    btnAssistenteDriver = new QPushButton(TabDrivers);
    btnAssistenteDriver->setGeometry(42, 173, 233, 25);

    TabCanais = new QWidget;
    PagCtrlSetup->addTab(TabCanais, QString());
    GroupBoxCanais = new QGroupBox(TabCanais);
    GroupBoxCanais->setGeometry(0, 8, 281, 153);

    // Box i stands for track i of the current song; its index is its tag.
    for (int i = 0; i < 16; ++i) {
        auto *caixa = new QCheckBox(GroupBoxCanais);
        caixa->setObjectName(QStringLiteral("CheckBox%1").arg(i));
        const PosicaoCaixa p = posicaoDaCaixa(i);
        caixa->setGeometry(p.x, p.y, std::min(p.largura, limiteCaixas - p.x), 17);
        caixa->setProperty(propriedadeTag, i);
        caixa->setEnabled(false);
        caixasCanal[static_cast<size_t>(i)] = caixa;
        connect(caixa, &QCheckBox::toggled, this, [this, caixa] { CheckBoxClick(caixa); });
    }
    selecaoAtiva = true;

    CheckBoxSel = new QCheckBox(TabCanais);
    CheckBoxSel->setGeometry(16, 176, 105, 17);
    CheckBoxSel->setEnabled(false);
    connect(CheckBoxSel, &QCheckBox::toggled, this, &TFormSetup::CheckBoxSelClick);

    // Practice settings: a tab of their own.
    TabPratica = new AbaPratica;
    PagCtrlSetup->addTab(TabPratica, GerenciadorIdiomas::textoDeRotulo("frmPratica", "TabPratica"));
    // The progress of the open song, below the practice settings.
    btnProgresso = new QPushButton(GerenciadorIdiomas::textoDeRotulo("frmProgresso", "btnProgresso"), TabPratica);
    btnProgresso->setObjectName(QStringLiteral("btnProgresso"));
    TabPratica->layoutPratica->insertWidget(TabPratica->layoutPratica->count() - 1, btnProgresso, 0, Qt::AlignLeft);
    connect(btnProgresso, &QPushButton::clicked, this, [this] { RegistroPratica::instancia().mostrarProgresso(this); });
    // The language of the program, in a tab of its own.
    TabIdioma = new QWidget;
    PagCtrlSetup->addTab(TabIdioma, QString());
    GroupBoxIdioma = new QGroupBox(TabIdioma);
    GroupBoxIdioma->setGeometry(0, 8, 281, 153);
    ListBoxIdiomas = new QListWidget(GroupBoxIdioma);
    ListBoxIdiomas->setObjectName(QStringLiteral("ListBoxIdiomas"));
    ListBoxIdiomas->setGeometry(10, 22, 261, 120);
    ListBoxIdiomas->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxIdiomas->addItems(GerenciadorIdiomas::instancia()->getNomes());

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setGeometry(64, 248, 75, 25);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setGeometry(149, 248, 75, 25);

    QStringList nomes;
    try {
        nomes = SaidaMIDI::instancia().listarDispositivos();
    } catch (...) {
        // Without the driver library there is no device to list.
    }
    for (const QString &nome : nomes) {
        auto *item = new QListWidgetItem(nome, ListBoxDrivers);
        item->setSizeHint(QSize(0, 13));
    }

    // The drum kit played into Tamborly: a tab of its own.
    TabKit = new PaginaKit;
    PagCtrlSetup->addTab(TabKit, QString());
    aplicarIdioma();

    connect(ListBoxDrivers, &QListWidget::itemSelectionChanged, this, &TFormSetup::ListBoxDriversClick);
    connect(ListBoxDrivers, &QListWidget::clicked, this, [this](const QModelIndex &indice) {
        // A click that changed the selection has run the handler already.
        if (indice.row() == linhaAntesDoClique)
            ListBoxDriversClick();
    });
    connect(ListBoxIdiomas, &QListWidget::itemSelectionChanged, this, &TFormSetup::ListBoxIdiomasClick);
    connect(btnOK, &QPushButton::clicked, this, &TFormSetup::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFormSetup::btnCancelClick);
    connect(btnAssistenteDriver, &QPushButton::clicked, this, &TFormSetup::btnAssistenteDriverClick);

    setupCriado = this;
}

TFormSetup::~TFormSetup()
{
    if (setupCriado == this)
        setupCriado = nullptr;
}

TFormSetup *TFormSetup::FormSetup()
{
    return setupCriado;
}

void TFormSetup::aplicarIdioma()
{
    for (QCheckBox *caixa : caixasCanal)
        legendarCaixa(caixa);
    GroupBoxCanais->setTitle(textoDoSetup("GroupBoxCanais"));
    CheckBoxSel->setText(textoDoSetup("CheckBoxSel"));
    // Nothing stands to the right of the select-all box: let a longer caption
    // widen it rather than be cut off.
    CheckBoxSel->resize(std::clamp(CheckBoxSel->sizeHint().width(), 105, 281 - 16), 17);
    PagCtrlSetup->setTabText(PagCtrlSetup->indexOf(TabCanais), textoDoSetup("TabCanais"));
    PagCtrlSetup->setTabText(PagCtrlSetup->indexOf(TabIdioma), textoDoSetup("TabIdioma"));
    PagCtrlSetup->setTabText(PagCtrlSetup->indexOf(TabKit), GerenciadorIdiomas::textoDeRotulo("frmKit", "TabKit"));
    PagCtrlSetup->setTabText(PagCtrlSetup->indexOf(TabPratica), GerenciadorIdiomas::textoDeRotulo("frmPratica", "TabPratica"));
    // Five tabs: captions that need more room widen the dialog a little rather
    // than hide a tab behind scroll buttons.
    const int largura = std::max(289, PagCtrlSetup->tabBar()->sizeHint().width());
    PagCtrlSetup->resize(largura, PagCtrlSetup->height());
    setFixedSize(largura + 1, 281);
    GroupBoxIdioma->setTitle(textoDoSetup("GroupBoxIdioma"));
    btnOK->setToolTip(textoDoSetup("btnOK"));
    btnCancel->setToolTip(textoDoSetup("btnCancel"));
    btnAssistenteDriver->setToolTip(textoDoSetup("btnAssistenteDriver"));
    btnAssistenteDriver->setText(textoDoSetup("btnAssistenteDriver"));
}

void TFormSetup::changeEvent(QEvent *evento)
{
    QDialog::changeEvent(evento);
    if (evento->type() == QEvent::LanguageChange) {
        aplicarIdioma();
        selecionarIdiomaAtual();
    }
}

void TFormSetup::legendarCaixa(QCheckBox *caixa)
{
    const QVariant nome = caixa->property(propriedadeNome);
    if (!nome.isValid()) {
        caixa->setText(textoDoSetup("CheckBoxText"));
        caixa->setToolTip(textoDoSetup("CheckBox"));
        return;
    }
    QString completo = nome.toString();
    if (completo.isEmpty())
        completo = GerenciadorIdiomas::textoDeRotulo("frmPrincipal", "SemNome");
    QStyle *estilo = caixa->style();
    const int largura = caixa->width() - estilo->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, caixa)
        - estilo->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, caixa) - 2;
    const QString visivel = caixa->fontMetrics().elidedText(completo, Qt::ElideRight, std::max(largura, 0));
    caixa->setText(semMnemonico(visivel));
    // A name cut short is shown whole as the box's hint.
    caixa->setToolTip(visivel == completo ? textoDoSetup("CheckBox") : completo);
}

void TFormSetup::mostrarTrilha(int indice, const QString &nome)
{
    if (indice < 0 || indice >= static_cast<int>(caixasCanal.size()))
        return;
    QCheckBox *caixa = caixasCanal[static_cast<size_t>(indice)];
    caixa->setProperty(propriedadeNome, nome);
    legendarCaixa(caixa);
}

void TFormSetup::esvaziarCaixa(int indice)
{
    if (indice < 0 || indice >= static_cast<int>(caixasCanal.size()))
        return;
    QCheckBox *caixa = caixasCanal[static_cast<size_t>(indice)];
    caixa->setEnabled(false);
    {
        const QSignalBlocker bloqueio(caixa);
        caixa->setChecked(false);
    }
    caixa->setProperty(propriedadeNome, QVariant());
    legendarCaixa(caixa);
}

void TFormSetup::showEvent(QShowEvent *evento)
{
    QDialog::showEvent(evento);
    if (!evento->spontaneous()) {
        centralizarSobreDono();
        FormShow();
    }
}

void TFormSetup::centralizarSobreDono()
{
    QWidget *dono = parentWidget() ? parentWidget()->window() : nullptr;
    if (!dono || !dono->isVisible())
        return;
    QRect area = frameGeometry();
    area.moveCenter(dono->frameGeometry().center());
    if (const QScreen *tela = dono->screen()) {
        const QRect livre = tela->availableGeometry();
        area.moveLeft(std::clamp(area.left(), livre.left(), std::max(livre.left(), livre.right() - area.width() + 1)));
        area.moveTop(std::clamp(area.top(), livre.top(), std::max(livre.top(), livre.bottom() - area.height() + 1)));
    }
    move(area.topLeft());
}

bool TFormSetup::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == ListBoxDrivers->viewport() && evento->type() == QEvent::MouseButtonPress)
        linhaAntesDoClique = dispositivoSelecionado();
    return QDialog::eventFilter(objeto, evento);
}

void TFormSetup::FormShow()
{
    selecionarDispositivo(ArquivoConfiguracao::instancia().getDriver());
    TabKit->atualizar();
    selecionarIdiomaAtual();
}

void TFormSetup::selecionarIdiomaAtual()
{
    const QSignalBlocker bloqueio(ListBoxIdiomas);
    const int atual = GerenciadorIdiomas::instancia()->getIndiceAtual();
    ListBoxIdiomas->setCurrentRow(atual >= 0 && atual < ListBoxIdiomas->count() ? atual : -1);
}

void TFormSetup::ListBoxIdiomasClick()
{
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    const int escolhido = ListBoxIdiomas->currentRow();
    if (escolhido < 0 || escolhido == idiomas->getIndiceAtual())
        return;
    bool carregado = false;
    try {
        // Every window, this one included, takes its texts from the new language
        // on the LanguageChange event that loading it sends.
        carregado = idiomas->carregar(escolhido) != nullptr;
    } catch (...) {
        carregado = false;
    }
    if (!carregado) {
        CaixaMensagem::mostrar(textoDoSetup("msgIdiomaIndisponivel"), GerenciadorIdiomas::textoDeRotulo("geral", "nomeAplicacao"), this);
        selecionarIdiomaAtual();
        return;
    }
    ArquivoConfiguracao::instancia().setIdioma(idiomas->getNomeIdioma());
}

void TFormSetup::selecionarDispositivo(int indice)
{
    const QSignalBlocker bloqueio(ListBoxDrivers);
    if (indice >= 0 && indice < ListBoxDrivers->count()) {
        ListBoxDrivers->setCurrentRow(indice);
    } else {
        ListBoxDrivers->setCurrentRow(-1);
        ListBoxDrivers->clearSelection();
    }
}

int TFormSetup::dispositivoSelecionado() const
{
    const QList<QListWidgetItem *> selecionados = ListBoxDrivers->selectedItems();
    return selecionados.isEmpty() ? -1 : ListBoxDrivers->row(selecionados.first());
}

void TFormSetup::ListBoxDriversClick()
{
    if (restaurandoSelecao)
        return;
    aplicarDriver();
}

void TFormSetup::btnOKClick()
{
    aplicarDriver();
    accept();
}

void TFormSetup::btnCancelClick()
{
    // Nothing to undo: every change took effect when it was made.
    reject();
}

void TFormSetup::btnAssistenteDriverClick()
{
    TformAssistenteConfiguracaoDriver *assistente = TformAssistenteConfiguracaoDriver::formAssistenteConfiguracaoDriver();
    if (!assistente)
        return;
    const int32_t escolhido = assistente->executarAssistente();
    if (escolhido != -1)
        selecionarDispositivo(escolhido);
    // The wizard leaves the port on the device it tested last: unless it found
    // another device, the stored one goes back on.
    if (escolhido == -1 || escolhido == ArquivoConfiguracao::instancia().getDriver())
        reabrirDispositivoGuardado(true);
    else
        aplicarDriver();
}

void TFormSetup::aplicarDriver()
{
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    const int s = dispositivoSelecionado();
    if (s == -1 || s == configuracao.getDriver())
        return;
    bool aberto = false;
    try {
        SaidaMIDI &saida = SaidaMIDI::instancia();
        aberto = saida.abrirDispositivo(s);
        if (aberto) {
            configuracao.setDriver(s);
            // The new device plays at the level the volume slider shows.
            saida.aplicarVolumes();
            return;
        }
    } catch (...) {
    }
    // Opening s closed the stored device: say that this device refused, put the
    // stored one back and select it again, since it is the one in use.
    QListWidgetItem *item = ListBoxDrivers->item(s);
    CaixaMensagem::mostrar(textoDoSetup("msgDispositivoRecusado").replace(QLatin1String("%1"), item ? item->text() : QString()),
                           GerenciadorIdiomas::textoDeRotulo("geral", "nomeAplicacao"), this);
    reabrirDispositivoGuardado(false);
    voltarAoDispositivoEmUso(s);
    // A key moves the cursor and then selects again, after this handler: the
    // selection goes back once more when the key has been handled.
    restaurandoSelecao = true;
    QTimer::singleShot(0, this, [this, s] {
        restaurandoSelecao = false;
        voltarAoDispositivoEmUso(s);
    });
}

void TFormSetup::voltarAoDispositivoEmUso(int recusado)
{
    selecionarDispositivo(ArquivoConfiguracao::instancia().getDriver());
    // The keyboard's cursor stays on the refused device, so that the arrows go
    // on past it instead of landing on it again.
    const QSignalBlocker bloqueio(ListBoxDrivers);
    ListBoxDrivers->selectionModel()->setCurrentIndex(ListBoxDrivers->model()->index(recusado, 0),
                                                      QItemSelectionModel::NoUpdate);
}

void TFormSetup::reabrirDispositivoGuardado(bool avisarFalha)
{
    bool aberto = false;
    try {
        SaidaMIDI &saida = SaidaMIDI::instancia();
        aberto = saida.abrirDispositivo(ArquivoConfiguracao::instancia().getDriver());
        if (aberto)
            saida.aplicarVolumes();
    } catch (...) {
        aberto = false;
    }
    if (!aberto && avisarFalha)
        avisarPlacaDesconfigurada();
}

void TFormSetup::avisarPlacaDesconfigurada()
{
    CaixaMensagem::mostrar(GerenciadorIdiomas::textoDeRotulo("frmPrincipal", "msgPlacaDesconfigurada"), GerenciadorIdiomas::textoDeRotulo("geral", "nomeAplicacao"), this);
}

bool TFormSetup::todasMarcadas() const
{
    for (const QCheckBox *caixa : caixasCanal) {
        if (caixa->isEnabled() && !caixa->isChecked())
            return false;
    }
    return true;
}

void TFormSetup::CheckBoxClick(QCheckBox *caixa)
{
    const int32_t i = caixa->property(propriedadeTag).toInt();
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    if (caixa->isChecked()) {
        configuracao.setCanalAtivo(true, i);
        if (todasMarcadas()) {
            selecaoAtiva = false;
            CheckBoxSel->setChecked(true);
            selecaoAtiva = true;
        }
        return;
    }
    configuracao.setCanalAtivo(false, i);
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
    gerenciador.silenciarTrilha(i);
    const Musica *musica = gerenciador.getMusica();
    if (musica && i < musica->getNumTrilhas() && musica->getTrilha(i)->temBateria()) {
        if (Instrumento *instrumento = configuracao.getInstrumento())
            instrumento->esconderTudo();
    }
    if (CheckBoxSel->isChecked()) {
        selecaoAtiva = false;
        CheckBoxSel->setChecked(false);
        selecaoAtiva = true;
    }
}

void TFormSetup::CheckBoxSelClick()
{
    if (!selecaoAtiva)
        return;
    const bool marcar = CheckBoxSel->isChecked();
    for (QCheckBox *caixa : caixasCanal) {
        if (!caixa->isEnabled())
            break;
        caixa->setChecked(marcar);
    }
}
