#include "settings/TformAssistenteConfiguracaoDriver.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/ImagemEmbutida.h"
#include "settings/Util.h"
#include "settings/Utilgui.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QThread>

#include <algorithm>

namespace {

TformAssistenteConfiguracaoDriver *assistenteCriado = nullptr;
std::chrono::milliseconds pausaEscala{80};

QString textoDoAssistente(const char *chave)
{
    return GerenciadorIdiomas::texto("fmAssistenteConfiguracaoDriver", chave);
}

QString rotuloDoAssistente(const char *chave)
{
    return GerenciadorIdiomas::textoDeRotulo("fmAssistenteConfiguracaoDriver", chave);
}

// Labels keep their size whatever their text and never wrap.
QLabel *rotulo(QWidget *pai, int x, int y, int largura, int altura, const QFont &f)
{
    auto *l = new QLabel(pai);
    l->setGeometry(x, y, largura, altura);
    l->setFont(f);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(false);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton *botao(QWidget *pai, int x, const QString &legenda)
{
    auto *b = new QPushButton(legenda, pai);
    b->setGeometry(x, 11, 105, 25);
    b->setFont(Utilgui::fonte(11));
    return b;
}

bool eEntradaDoUsuario(QEvent::Type tipo)
{
    switch (tipo) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

}  // namespace

TformAssistenteConfiguracaoDriver::TformAssistenteConfiguracaoDriver(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("formAssistenteConfiguracaoDriver"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(643, 255);
    setFont(Utilgui::fonte(11));

    Panel2 = new QFrame(this);
    Panel2->setGeometry(0, 0, 643, 210);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette branco = Panel2->palette();
    branco.setColor(QPalette::Window, Qt::white);
    Panel2->setPalette(branco);
    Panel2->setAutoFillBackground(true);

    Image1 = new QLabel(Panel2);
    Image1->setGeometry(1, 1, 139, 208);
    Image1->setPixmap(ImagemEmbutida::carregar(QStringLiteral("Image1")));

    lblTitulo1 = rotulo(Panel2, 152, 11, 481, 21, Utilgui::fonte(16, true));
    lblExplicacao1 = rotulo(Panel2, 155, 43, 478, 52, Utilgui::fonte(11));
    lblLinkVolumeWindows = rotulo(Panel2, 155, 97, 99, 12, Utilgui::fonte(9));
    QFont sublinhada = lblLinkVolumeWindows->font();
    sublinhada.setUnderline(true);
    lblLinkVolumeWindows->setFont(sublinhada);
    QPalette azul = lblLinkVolumeWindows->palette();
    azul.setColor(QPalette::WindowText, Qt::blue);
    lblLinkVolumeWindows->setPalette(azul);
    lblLinkVolumeWindows->setCursor(Qt::PointingHandCursor);
    lblLinkVolumeWindows->installEventFilter(this);
    lblTitulo2 = rotulo(Panel2, 155, 132, 478, 17, Utilgui::fonte(11, true));
    lblExplicacao2 = rotulo(Panel2, 155, 156, 478, 41, Utilgui::fonte(11));

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 210, 643, 45);
    Panel1->setFrameStyle(QFrame::NoFrame);

    // Two places on the bar: the left one for Heard, Proceed or Finish, the
    // right one for Not heard or Cancel.
    btnEscutando = botao(Panel1, 411, QString());
    btnNaoEscutando = botao(Panel1, 531, QString());
    btnProsseguir = botao(Panel1, 411, QString());
    btnCancelar = botao(Panel1, 531, QString());
    btnFinalizar = botao(Panel1, 411, QString());
    btnFinalizar->hide();
    aplicarIdioma();

    connect(btnProsseguir, &QPushButton::clicked, this, &TformAssistenteConfiguracaoDriver::btnProsseguirClick);
    connect(btnEscutando, &QPushButton::clicked, this, &TformAssistenteConfiguracaoDriver::btnEscutandoClick);
    connect(btnNaoEscutando, &QPushButton::clicked, this, &TformAssistenteConfiguracaoDriver::btnNaoEscutandoClick);
    connect(btnCancelar, &QPushButton::clicked, this, &TformAssistenteConfiguracaoDriver::btnCancelarClick);
    connect(btnFinalizar, &QPushButton::clicked, this, &TformAssistenteConfiguracaoDriver::btnFinalizarClick);

    try {
        dispositivos = SaidaMIDI::instancia().listarDispositivos();
    } catch (...) {
        // Without the driver library there is no device to offer: the wizard ends at once.
    }

    assistenteCriado = this;
}

TformAssistenteConfiguracaoDriver::~TformAssistenteConfiguracaoDriver()
{
    if (assistenteCriado == this)
        assistenteCriado = nullptr;
}

TformAssistenteConfiguracaoDriver *TformAssistenteConfiguracaoDriver::formAssistenteConfiguracaoDriver()
{
    return assistenteCriado;
}

int32_t TformAssistenteConfiguracaoDriver::executarAssistente()
{
    passo = 0;
    // Centred on the screen at every show, not over the window that owns it.
    if (const QScreen *tela = screen() ? screen() : QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
    exec();
    return resultado;
}

void TformAssistenteConfiguracaoDriver::aplicarIdioma()
{
    btnEscutando->setText(rotuloDoAssistente("btnEscutando"));
    btnNaoEscutando->setText(rotuloDoAssistente("btnNaoEscutando"));
    btnProsseguir->setText(rotuloDoAssistente("btnProsseguir"));
    btnCancelar->setText(rotuloDoAssistente("btnCancelar"));
    btnFinalizar->setText(rotuloDoAssistente("btnFinalizar"));
    setWindowTitle(GerenciadorIdiomas::texto("geral", "nomeAplicacao") + QStringLiteral(" - ") + textoDoAssistente("titulo"));
    lblTitulo1->setText(rotuloDoAssistente("lblTitulo1-A"));
    lblExplicacao1->setText(rotuloDoAssistente("lblExplicacao1-A"));
    lblLinkVolumeWindows->setText(rotuloDoAssistente("lblLinkVolumeWindows"));
}

void TformAssistenteConfiguracaoDriver::changeEvent(QEvent *evento)
{
    QDialog::changeEvent(evento);
    // The step texts are set at every step; the fixed ones follow the language here.
    if (evento->type() == QEvent::LanguageChange)
        aplicarIdioma();
}

void TformAssistenteConfiguracaoDriver::showEvent(QShowEvent *evento)
{
    QDialog::showEvent(evento);
    if (!evento->spontaneous())
        FormShow();
}

void TformAssistenteConfiguracaoDriver::done(int r)
{
    FormClose();
    QDialog::done(r);
}

bool TformAssistenteConfiguracaoDriver::eventFilter(QObject *objeto, QEvent *evento)
{
    if (descartandoEntrada && eEntradaDoUsuario(evento->type()))
        return true;
    if (descartandoEntrada && evento->type() == QEvent::Close && objeto == this) {
        evento->ignore();
        return true;
    }
    if (objeto == lblLinkVolumeWindows && evento->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(evento);
        if (mouse->button() == Qt::LeftButton && lblLinkVolumeWindows->rect().contains(mouse->position().toPoint())) {
            lblLinkVolumeWindowsClick();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void TformAssistenteConfiguracaoDriver::FormShow()
{
    passo = 0;
    atual = 0;
    resultado = 0;
    mostrarPasso();
}

void TformAssistenteConfiguracaoDriver::FormClose()
{
    // The next show starts clean.
    btnFinalizar->hide();
    btnCancelar->setEnabled(true);
}

void TformAssistenteConfiguracaoDriver::mostrarPasso()
{
    const int32_t n = static_cast<int32_t>(dispositivos.size());
    if (atual >= n) {
        // No device left to offer; resultado stays as it is (0).
        lblTitulo2->setText(rotuloDoAssistente("lblTitulo2-D"));
        lblExplicacao2->setText(rotuloDoAssistente("lblExplicacao2-D"));
        btnEscutando->hide();
        btnNaoEscutando->hide();
        btnProsseguir->hide();
        btnFinalizar->setEnabled(true);
        btnFinalizar->show();
        btnFinalizar->setDefault(true);
        btnCancelar->setEnabled(false);
        btnCancelar->show();
        return;
    }
    switch (passo) {
    case 0:
        lblTitulo2->setVisible(true);
        lblTitulo2->setText(rotuloDoAssistente("lblTitulo2-A") + QLatin1Char(' ')
                            + QString::number(atual + 1) + QLatin1Char(':'));
        lblExplicacao2->setText(rotuloDoAssistente("lblExplicacao2-A1") + QStringLiteral(" \"")
                                + dispositivos.at(atual) + QStringLiteral("\". \n\n")
                                + rotuloDoAssistente("lblExplicacao2-A2"));
        btnEscutando->hide();
        btnNaoEscutando->hide();
        btnProsseguir->setEnabled(true);
        btnProsseguir->show();
        btnProsseguir->setDefault(true);
        btnProsseguir->setFocus();
        btnCancelar->setEnabled(true);
        btnCancelar->show();
        break;
    case 1:
        lblTitulo2->setVisible(true);
        lblTitulo2->setText(rotuloDoAssistente("lblTitulo2-B"));
        lblExplicacao2->setText(rotuloDoAssistente("lblExplicacao2-B"));
        btnEscutando->setEnabled(true);
        btnEscutando->show();
        btnNaoEscutando->setEnabled(true);
        btnNaoEscutando->show();
        btnProsseguir->hide();
        btnCancelar->hide();
        break;
    case 2:
        resultado = -1;
        reject();
        break;
    case 3:
        resultado = atual;
        lblTitulo2->setText(rotuloDoAssistente("lblTitulo2-C"));
        lblExplicacao2->setText(rotuloDoAssistente("lblExplicacao2-C"));
        btnFinalizar->setEnabled(true);
        btnFinalizar->show();
        btnFinalizar->setDefault(true);
        btnCancelar->setEnabled(false);
        btnCancelar->show();
        btnEscutando->hide();
        btnNaoEscutando->hide();
        btnProsseguir->hide();
        break;
    default:
        break;
    }
}

void TformAssistenteConfiguracaoDriver::habilitarBotoes(bool habilitar)
{
    for (QPushButton *b : {btnEscutando, btnNaoEscutando, btnProsseguir, btnCancelar, btnFinalizar})
        b->setEnabled(habilitar);
}

void TformAssistenteConfiguracaoDriver::btnProsseguirClick()
{
    // While the scale blocks the window nothing may act on it: the buttons are
    // disabled and the input queued meanwhile is dropped before they come back.
    habilitarBotoes(false);
    bool sequenciadorTocava = false;
    try {
        sequenciadorTocava = Sequenciador::instancia().estaTocando();
        if (sequenciadorTocava)
            Sequenciador::instancia().pausar();
    } catch (...) {
    }
    try {
        SaidaMIDI &saida = SaidaMIDI::instancia();
        saida.abrirDispositivo(atual);
        saida.setPrograma(1, 0);
        tocarTeste();
    } catch (...) {
        // The user simply hears nothing and answers so.
    }
    descartarEntradaPendente();
    try {
        if (sequenciadorTocava)
            Sequenciador::instancia().tocar();
    } catch (...) {
    }
    passo = 1;
    mostrarPasso();
}

void TformAssistenteConfiguracaoDriver::descartarEntradaPendente()
{
    descartandoEntrada = true;
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    descartandoEntrada = false;
}

void TformAssistenteConfiguracaoDriver::setPausaEscala(std::chrono::milliseconds pausa)
{
    pausaEscala = std::max(pausa, std::chrono::milliseconds(0));
}

std::chrono::milliseconds TformAssistenteConfiguracaoDriver::getPausaEscala()
{
    return pausaEscala;
}

void TformAssistenteConfiguracaoDriver::tocarTeste()
{
    SaidaMIDI &saida = SaidaMIDI::instancia();
    for (int k = 0; k < 24; ++k) {
        saida.notaLigada(1, 127, 60 + k);
        QThread::msleep(static_cast<unsigned long>(pausaEscala.count()));
        saida.notaDesligada(1, 60 + k);
    }
}

void TformAssistenteConfiguracaoDriver::btnEscutandoClick()
{
    passo = 3;
    mostrarPasso();
}

void TformAssistenteConfiguracaoDriver::btnNaoEscutandoClick()
{
    atual = atual + 1;
    passo = 0;
    mostrarPasso();
}

void TformAssistenteConfiguracaoDriver::btnCancelarClick()
{
    passo = 2;
    mostrarPasso();
}

void TformAssistenteConfiguracaoDriver::btnFinalizarClick()
{
    accept();
}

void TformAssistenteConfiguracaoDriver::lblLinkVolumeWindowsClick()
{
    try {
        Util::executarPrograma(QStringLiteral("sndvol32.exe"), QString());
    } catch (...) {
        CaixaMensagem::mostrar(textoDoAssistente("erroAbrirVolumeWindows"), textoDoAssistente("titulo"), this);
    }
}
