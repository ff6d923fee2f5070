#include "player/TFormPrincipal.h"

#include "engine/EntradaMIDI.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "platform/CapacidadesDispositivo.h"
#include "platform/NomeArquivo.h"
#include "platform/PastaAplicacao.h"
#include "player/DesenhoPrincipal.h"
#include "player/Imagem.h"
#include "player/Instrumento.h"
#include "player/PainelAvaliacao.h"
#include "player/RegistroPratica.h"
#include "player/TFormEscolherArquivo.h"
#include "player/TecladoBateria.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TOrvButton3D.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "settings/Util.h"
#include "song/GerenciadorMusica.h"
#include "song/Musica.h"
#include "song/Trilha.h"
#include "sonomidi/ESonoMidiException.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <thread>

namespace {

Instrumento *instrumento()
{
    return ArquivoConfiguracao::instancia().getInstrumento();
}

void esconderTudo()
{
    if (Instrumento *kit = instrumento())
        kit->esconderTudo();
}

// Blanks and control characters at both ends go, as the track names of old
// files often carry padding.
QString aparar(const QString &nome)
{
    qsizetype inicio = 0;
    qsizetype fim = nome.size();
    while (inicio < fim && nome.at(inicio).unicode() <= ' ')
        ++inicio;
    while (fim > inicio && nome.at(fim - 1).unicode() <= ' ')
        --fim;
    return nome.mid(inicio, fim - inicio);
}

// The site of the program's maker, which the link over the maker's logo opens.
const char *const siteFabricante = "https://cordelune.example.org/";

}

TFormPrincipal::TFormPrincipal(QWidget *parent) : QWidget(parent)
{
    // 1. The window from its design; the drum kit finds it by these names.
    setObjectName(QStringLiteral("FormPrincipal"));
    DesenhoPrincipal::montar(*this);
    // 2.-3.
    mostrarAjudaTeclado(false);
    teclasPressionadas.fill(false);
    // 4. The picture-button table; each normal picture's mouse events.
    const std::array<std::pair<Imagem *, Imagem *>, 13> pares{{
        {imgHelp, imgHelp2}, {imgMin, imgMin2}, {imgFechar, imgFechar2}, {imgOpen, imgOpen2},
        {imgSetup, imgSetup2}, {imgPlay, imgPlay2}, {imgStop, imgStop2}, {imgPause, imgPause2},
        {imgRepeat, imgRepeat2}, {imgRew, imgRew2}, {imgFF, imgFF2}, {imgTutorial, imgTutorial2},
        {imgStyles, imgStyles2},
    }};
    for (int k = 0; k < int(pares.size()); ++k) {
        Imagem *normal = pares[size_t(k)].first;
        Imagem *pressionada = pares[size_t(k)].second;
        normal->setTag(2 * k);
        pressionada->setTag(2 * k + 1);
        imagensBotoes[size_t(2 * k)] = normal;
        imagensBotoes[size_t(2 * k + 1)] = pressionada;
        if (normal != imgRew && normal != imgFF) {
            connect(normal, &Imagem::mouseDown, this, [this, normal] { imgMouseDown(normal); });
            connect(normal, &Imagem::mouseUp, this, [this, normal] { imgMouseUp(normal); });
        }
    }
    connect(imgHelp, &Imagem::clicado, this, &TFormPrincipal::imgHelpClick);
    connect(imgMin, &Imagem::clicado, this, &TFormPrincipal::imgMinClick);
    connect(imgFechar, &Imagem::clicado, this, &TFormPrincipal::imgFecharClick);
    connect(imgOpen, &Imagem::clicado, this, &TFormPrincipal::imgOpenClick);
    connect(imgSetup, &Imagem::clicado, this, &TFormPrincipal::imgSetupClick);
    connect(imgPlay, &Imagem::clicado, this, &TFormPrincipal::imgPlayClick);
    connect(imgStop, &Imagem::clicado, this, &TFormPrincipal::imgStopClick);
    connect(imgPause, &Imagem::clicado, this, &TFormPrincipal::imgPauseClick);
    connect(imgRepeat, &Imagem::clicado, this, &TFormPrincipal::imgRepeatClick);
    connect(imgTutorial, &Imagem::clicado, this, &TFormPrincipal::imgTutorialClick);
    connect(imgStyles, &Imagem::clicado, this, &TFormPrincipal::imgStylesClick);
    connect(imgFF, &Imagem::mouseDown, this, &TFormPrincipal::imgFFMouseDown);
    connect(imgRew, &Imagem::mouseDown, this, &TFormPrincipal::imgRewMouseDown);
    connect(imgFF, &Imagem::mouseUp, this, [this] { imgFFRewMouseUp(imgFF); });
    connect(imgRew, &Imagem::mouseUp, this, [this] { imgFFRewMouseUp(imgRew); });
    connect(imgCima, &Imagem::mouseDown, this, &TFormPrincipal::imgCimaMouseDown);
    connect(imgURL, &Imagem::clicado, this, &TFormPrincipal::imgURLClick);
    connect(lblURL, &Imagem::clicado, this, &TFormPrincipal::lblURLClick);
    connect(imgTecladoPequeno, &Imagem::clicado, this, &TFormPrincipal::imgTecladoPequenoClick);
    connect(btnFecharAjudaAtalhos, &TOrvButton3D::clicked, this, &TFormPrincipal::btnFecharAjudaAtalhosClick);
    connect(TimerPlayer, &QTimer::timeout, this, &TFormPrincipal::TimerPlayerTimer);
    connect(tkbBPM, &QSlider::valueChanged, this, &TFormPrincipal::tkbBPMChange);
    connect(tkbVol, &QSlider::valueChanged, this, &TFormPrincipal::tkbVolChange);
    connect(tkbAndamento, &QSlider::valueChanged, this, &TFormPrincipal::tkbAndamentoChange);
    connect(CmbTracks, &QComboBox::activated, this, &TFormPrincipal::CmbTracksChange);
    connect(ckKaraoke, &QCheckBox::toggled, this, &TFormPrincipal::ckKaraokeClick);

    // 5.-7.
    tempoAtual = 0;
    estado = semMusica;
    tkbVol->setMaximum(100);
    for (QWidget *controle : std::initializer_list<QWidget *>{imgStop, imgPause, imgFF, imgRew, imgRepeat, imgPlay,
                                                             CmbTracks, tkbAndamento, tkbBPM})
        controle->setEnabled(false);
    // 8. The kit takes its pictures from this window, so they exist by now.
    ArquivoConfiguracao::instancia().criarInstrumento(0);
    // Play Along feedback lies over every picture of the kit.
    painelAvaliacao = new PainelAvaliacao(pnInstrumento);
    painelAvaliacao->aoPedirProgresso = [this] { RegistroPratica::instancia().mostrarProgresso(this); };
    // 9.-12.
    aplicarIdioma();

    // Keys reach the window before the focused control (key preview).
    qApp->installEventFilter(this);
    AcessoGui::instancia().registrar(this);
}

TFormPrincipal::~TFormPrincipal()
{
    if (AcessoGui::instancia().getReceptor() == this)
        AcessoGui::instancia().registrar(nullptr);
    // The kit only looks at this window's pictures; it must not outlive them.
    ArquivoConfiguracao::instancia().setInstrumento(nullptr);
}

void TFormPrincipal::aplicarIdioma()
{
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    const QString secao = QStringLiteral("frmPrincipal");
    for (size_t tag = 0; tag < imagensBotoes.size(); tag += 2)
        imagensBotoes[tag]->setToolTip(idiomas->obterTexto(secao, imagensBotoes[tag]->objectName().mid(3)));
    for (QLabel *rotulo : {lblTempo, lblVolume, lblVelocidade})
        DesenhoPrincipal::legendar(rotulo, idiomas->obterTexto(secao, rotulo->objectName()));
    for (QWidget *controle : std::initializer_list<QWidget *>{tkbAndamento, tkbVol, tkbBPM, lblURL, CmbTracks})
        controle->setToolTip(idiomas->obterTexto(secao, controle->objectName()));
    for (Imagem *imagem : {imgURL, imgTamborlyLogo, imgOpen, imgOpen2, imgStyles, imgStyles2})
        imagem->setPixmap(idiomas->obterImagem(secao, imagem->objectName()));
    pastaRitmos = PastaAplicacao::arquivo(idiomas->obterTexto(secao, QStringLiteral("dlgRitmos")));
}

// ---- Frame: showing, picture buttons, moving, minimising, closing ----

void TFormPrincipal::showEvent(QShowEvent *evento)
{
    QWidget::showEvent(evento);
    FormShow();
}

void TFormPrincipal::FormShow()
{
    // A restore after minimising shows the window again: the device is opened once.
    if (iniciado)
        return;
    iniciado = true;
    // Run once the window is on screen, so that the wizard opens over it.
    QTimer::singleShot(0, this, [this] {
        iniciarDispositivo();
        abrirEntrada();
    });
}

void TFormPrincipal::abrirEntrada()
{
    EntradaMIDI *entrada = nullptr;
    try {
        entrada = &EntradaMIDI::instancia();
    } catch (const std::exception &) {
        return;  // no driver library: the output's own message has said so
    }
    entrada->setReceptor([this](uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante) {
        receberKit(status, dado1, dado2, instante);
    });
    entrada->setAoPerder([this] {
        const QString nome = ArquivoConfiguracao::instancia().getEntrada();
        esconderTudo();
        CaixaMensagem::mostrar(GerenciadorIdiomas::textoDeRotulo("frmKit", "msgEntradaPerdida").arg(nome),
                               GerenciadorIdiomas::texto("geral", "nomeAplicacao"), this);
    });
    const QString nome = ArquivoConfiguracao::instancia().getEntrada();
    if (nome.isEmpty())
        return;
    bool aberto = false;
    try {
        aberto = entrada->abrirDispositivo(nome);
    } catch (const std::exception &) {
        aberto = false;
    }
    if (!aberto)
        CaixaMensagem::mostrar(GerenciadorIdiomas::textoDeRotulo("frmKit", "msgEntradaIndisponivel").arg(nome),
                               GerenciadorIdiomas::texto("geral", "nomeAplicacao"), this);
}

void TFormPrincipal::iniciarDispositivo()
{
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    bool aberto = false;
    try {
        int32_t dispositivo = configuracao.getDriver();
        if (dispositivo == -1) {
            TformAssistenteConfiguracaoDriver *assistente =
                TformAssistenteConfiguracaoDriver::formAssistenteConfiguracaoDriver();
            dispositivo = assistente ? assistente->executarAssistente() : -1;
            if (dispositivo == -1)
                dispositivo = 0;
            configuracao.setDriver(dispositivo);
        }
        aberto = SaidaMIDI::instancia().abrirDispositivo(dispositivo);
    } catch (const std::exception &) {
        aberto = false;
    }
    // The device's trouble is said here; drum keys then stay quiet about it.
    falhaTecladoAvisada = !aberto;
    if (aberto && configuracao.getDriver() == 0) {
        // The built-in synth opens even without a soundfont, and then plays silence.
        const QString problema = CapacidadesDispositivo::problemaBiblioteca();
        if (!problema.isEmpty())
            CaixaMensagem::mostrar(GerenciadorIdiomas::texto("frmPrincipal", "msgSintetizadorMudo").replace(QStringLiteral("%1"), problema),
                                   GerenciadorIdiomas::texto("geral", "nomeAplicacao"), this);
    }
    if (!aberto) {
        mensagem("frmPrincipal", "msgPlacaDesconfigurada");
        return;
    }
    try {
        const int32_t volume = configuracao.getVolume();
        SaidaMIDI::instancia().setVolumeGeral(volume);
        // In 64 bits: a stored volume near INT32_MIN must not overflow; the slider clamps the result.
        const int64_t posicao = int64_t(tkbVol->maximum()) - volume;
        tkbVol->setValue(int(std::clamp<int64_t>(posicao, tkbVol->minimum(), tkbVol->maximum())));
    } catch (const std::exception &) {
        mensagem("frmPrincipal", "msgPlacaDesconfigurada");
    }
}

void TFormPrincipal::closeEvent(QCloseEvent *evento)
{
    if (FormCloseQuery())
        evento->accept();
    else
        evento->ignore();
}

bool TFormPrincipal::FormCloseQuery()
{
    if (!CaixaMensagem::perguntarSimNao(GerenciadorIdiomas::texto("frmPrincipal", "closeQuery"), QString(), this))
        return false;
    if (!ArquivoConfiguracao::instancia().salvar())
        mensagem("frmPrincipal", "msgConfiguracaoNaoSalva");
    // Closing always closes: a failing device must not keep the window (and a
    // note hanging on an external module) alive, so each step stands alone.
    try {
        Sequenciador::instancia().parar();
    } catch (...) {
    }
    try {
        SaidaMIDI::instancia().reiniciarDispositivo();
    } catch (...) {
    }
    try {
        SaidaMIDI::instancia().fecharArquivo();
    } catch (...) {
    }
    return true;
}

void TFormPrincipal::imgMouseDown(Imagem *imagem)
{
    const size_t tag = size_t(imagem->getTag());
    imagensBotoes[tag + 1]->show();
    imagensBotoes[tag]->hide();
}

void TFormPrincipal::imgMouseUp(Imagem *imagem)
{
    const size_t tag = size_t(imagem->getTag());
    imagensBotoes[tag + 1]->hide();
    imagensBotoes[tag]->show();
}

void TFormPrincipal::imgCimaMouseDown(Qt::MouseButton botao)
{
    if (botao != Qt::LeftButton)
        return;
    Imagem::soltarCaptura();
    if (QWindow *janela = windowHandle())
        janela->startSystemMove();
}

void TFormPrincipal::imgMinClick()
{
    showMinimized();
}

void TFormPrincipal::imgFecharClick()
{
    close();
}

void TFormPrincipal::imgSetupClick()
{
    if (TFormSetup *setup = TFormSetup::FormSetup())
        setup->exec();
    falhaTecladoAvisada = false;
}

void TFormPrincipal::changeEvent(QEvent *evento)
{
    QWidget::changeEvent(evento);
    if (evento->type() == QEvent::ActivationChange && !isActiveWindow())
        perderAtivacao();
    else if (evento->type() == QEvent::LanguageChange)
        trocarIdioma();
}

void TFormPrincipal::trocarIdioma()
{
    aplicarIdioma();
    if (chaveStatus)
        status(chaveStatus);
    const QString todas = GerenciadorIdiomas::texto("frmPrincipal", "BateriaTodas");
    for (int k = 0; k < CmbTracks->count(); ++k)
        CmbTracks->setItemText(k, k < numTrilhasBateria ? GerenciadorIdiomas::texto("frmPrincipal", "Bateria") + QString::number(k + 1) : todas);
    if (estado != semMusica)
        CmbTracks->setPlaceholderText(GerenciadorIdiomas::texto("frmPrincipal", "CmbTracksText"));
    mostrarAndamento(tkbBPM->value());  // "96 (80 %)" is a text of the language too
}

void TFormPrincipal::perderAtivacao()
{
    // The key-ups and the button release go to the window that took the focus:
    // without them a drum key would stay held and a seek would never end.
    teclasPressionadas.fill(false);
    esconderTudo();
    if (Imagem *captura = Imagem::getCaptura(); captura && captura->window() == this)
        Imagem::cancelarCaptura();
}

void TFormPrincipal::status(const char *chave)
{
    chaveStatus = chave;
    DesenhoPrincipal::legendar(lblPlayer, GerenciadorIdiomas::texto("frmPrincipal", chave));
}

void TFormPrincipal::mensagem(const char *secao, const char *chave)
{
    CaixaMensagem::mostrar(GerenciadorIdiomas::texto(secao, chave), GerenciadorIdiomas::texto("geral", "nomeAplicacao"), this);
}

// ---- Transport ----

void TFormPrincipal::imgPlayClick()
{
    switch (estado) {
    case inicioMarcado:
    case repetindo:
    case parado:
        // A new pass: the last one's results make way for the kit.
        painelAvaliacao->fecharResultado();
        Sequenciador::instancia().tocar();
        imgStop->setEnabled(true);
        imgPause->setEnabled(true);
        Sequenciador::instancia().limparLoop();
        imgRepeat->setEnabled(true);
        imgPlay->setEnabled(false);
        estado = tocando;
        status("Tocando");
        break;
    case pausado:
        imgPauseClick();
        break;
    default:
        break;
    }
}

void TFormPrincipal::imgPauseClick()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    switch (estado) {
    case tocando:
    case inicioMarcado:
    case repetindo:
        status("Pausa");
        sequenciador.setPausado(true);
        SaidaMIDI::instancia().reiniciarDispositivo();
        estadoAnterior = estado;
        estado = pausado;
        imgPlay->setEnabled(true);
        break;
    case pausado:
        switch (estadoAnterior) {
        case tocando:
            status("Tocando");
            imgPlay->setEnabled(false);
            break;
        case repetindo:
            status("Repetindo");
            imgRepeat->setEnabled(false);
            break;
        case inicioMarcado:
            status("InicioLoop");
            imgRepeat->setEnabled(true);
            break;
        default:
            break;
        }
        estado = estadoAnterior;
        sequenciador.setPausado(false);
        break;
    default:
        break;
    }
    imgPause->setEnabled(true);
}

void TFormPrincipal::imgStopClick()
{
    pararMusica();
}

void TFormPrincipal::pararMusica()
{
    status("Parado");
    if (estado == semMusica)
        return;
    estado = parado;
    Sequenciador &sequenciador = Sequenciador::instancia();
    sequenciador.parar();
    sequenciador.limparLoop();
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.reiniciarDispositivo();
    saida.reiniciarControladores();
    saida.restaurarKitPadrao();
    esconderTudo();
    tkbAndamento->setValue(0);
    imgStop->setEnabled(false);
    imgPause->setEnabled(false);
    imgRepeat->setEnabled(false);
    imgPlay->setEnabled(true);
    tempoAtual = 0;
    lblTime->setText(QStringLiteral("0"));
}

void TFormPrincipal::imgRepeatClick()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    if (estado == tocando) {
        sequenciador.marcarLoop();
        status("InicioLoop");
        estado = inicioMarcado;
        imgRepeat->setEnabled(true);
    } else if (estado == inicioMarcado) {
        estado = repetindo;
        sequenciador.marcarLoop();
        status("Repetindo");
        // Back to the loop start through the slider's handler; when the slider is
        // there already, moving it would not run the handler and the sequencer
        // would play on past the end, never repeating.
        if (tkbAndamento->value() == sequenciador.getInicioLoop())
            tkbAndamentoChange();
        else
            tkbAndamento->setValue(sequenciador.getInicioLoop());
        imgRepeat->setEnabled(false);
    }
    imgPlay->setEnabled(true);
}

void TFormPrincipal::imgFFMouseDown()
{
    // A second button pressed during a seek must not start another one: it
    // would take the seek's own state as the state to return to.
    if (estado == adiantando || estado == voltando)
        return;
    imgMouseDown(imgFF);
    status("Adiantando");
    iniciarBusca();
    estado = adiantando;
}

void TFormPrincipal::imgRewMouseDown()
{
    if (estado == adiantando || estado == voltando)
        return;
    imgMouseDown(imgRew);
    status("Voltando");
    iniciarBusca();
    estado = voltando;
}

void TFormPrincipal::imgFFRewMouseUp(Imagem *imagem)
{
    if (estado == adiantando || estado == voltando)
        terminarBusca();
    imgMouseUp(imagem);
}

void TFormPrincipal::iniciarBusca()
{
    TimerPlayer->start();
    atualizandoPosicao = false;
    if (estado == pausado)
        estadoAntesDaPausa = estadoAnterior;
    estadoAnterior = estado;
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.reiniciarDispositivo();
    saida.reiniciarControladores();
    esconderTudo();
    Sequenciador::instancia().setPausado(true);
}

void TFormPrincipal::TimerPlayerTimer()
{
    if (estado == voltando) {
        if (tempoAtual > 0)
            --tempoAtual;
    } else if (tempoAtual < tempoTotal) {
        ++tempoAtual;
    }
    tkbAndamento->setValue(tempoAtual * 64);
}

void TFormPrincipal::terminarBusca()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    lblTime->setText(QString::number(tempoAtual));
    TimerPlayer->stop();
    switch (estadoAnterior) {
    case pausado:
        status("Pausa");
        estado = pausado;
        estadoAnterior = estadoAntesDaPausa;
        estadoAntesDaPausa = semMusica;
        break;
    case tocando:
        status("Tocando");
        estado = tocando;
        sequenciador.setPausado(false);
        break;
    case repetindo:
        estado = repetindo;
        if (sequenciador.getFimLoop() > sequenciador.getInicioLoop()
            && sequenciador.getFimLoop() < tkbAndamento->value())
            imgPlayClick();
        else
            status("Repetindo");
        sequenciador.setPausado(false);
        break;
    case inicioMarcado:
        estado = inicioMarcado;
        if (sequenciador.getInicioLoop() > tkbAndamento->value()) {
            imgPlayClick();
        } else {
            status("InicioLoop");
            imgRepeat->setEnabled(true);
            sequenciador.setPausado(false);
        }
        break;
    case parado:
        status("Parado");
        estado = parado;
        break;
    default:
        break;
    }
    sequenciador.setPosicao(tkbAndamento->value());
}

// ---- Song opening and the track selector ----

std::function<int(TFormEscolherArquivo &)> TFormPrincipal::mostrarDialogo = [](TFormEscolherArquivo &dialogo) {
    return dialogo.exec();
};

std::unique_ptr<TFormEscolherArquivo> TFormPrincipal::criarDlgOpen()
{
    auto dlgOpen = std::make_unique<TFormEscolherArquivo>(this);
    dlgOpen->setObjectName(QStringLiteral("dlgOpen"));
    dlgOpen->setWindowTitle(GerenciadorIdiomas::texto("frmPrincipal", "Open"));
    // "*.mid" in any letter case: "BEAT.MID" is a song too.
    dlgOpen->setFiltro(QStringLiteral("mid (*.mid)"), QByteArrayLiteral(".mid"));
    dlgOpen->setPasta(pastaAbrir.isEmpty() ? QDir::currentPath() : pastaAbrir);
    return dlgOpen;
}

std::unique_ptr<TFormEscolherArquivo> TFormPrincipal::criarDlgRitmos()
{
    auto dlgRitmos = std::make_unique<TFormEscolherArquivo>(this);
    dlgRitmos->setObjectName(QStringLiteral("dlgRitmos"));
    dlgRitmos->setWindowTitle(GerenciadorIdiomas::texto("frmPrincipal", "Styles"));
    dlgRitmos->setPasta(pastaRitmos);
    return dlgRitmos;
}

void TFormPrincipal::imgOpenClick()
{
    const std::unique_ptr<TFormEscolherArquivo> dlgOpen = criarDlgOpen();
    if (mostrarDialogo(*dlgOpen) != QDialog::Accepted || dlgOpen->getBytesArquivo().isEmpty())
        return;
    pastaAbrir = dlgOpen->getPasta();
    abrirMusica(dlgOpen->getArquivo());
}

void TFormPrincipal::imgStylesClick()
{
    const std::unique_ptr<TFormEscolherArquivo> dlgRitmos = criarDlgRitmos();
    if (mostrarDialogo(*dlgRitmos) != QDialog::Accepted || dlgRitmos->getBytesArquivo().isEmpty())
        return;
    abrirMusica(dlgRitmos->getArquivo());
}

bool TFormPrincipal::carregarEmSegundoPlano(const QString &nomeArquivo)
{
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.prepararCarga();
    SaidaMIDI::ProgressoLeitura progresso;
    SaidaMIDI::MusicaLida lida;
    std::exception_ptr erro;
    std::atomic<bool> pronto{false};
    std::thread leitor([&] {
        try {
            lida = saida.lerMusica(nomeArquivo, &progresso);
        } catch (...) {
            erro = std::current_exception();
        }
        // A cancelled song is freed here, not on the GUI thread.
        if (progresso.cancelar.load())
            lida.musica.reset();
        pronto.store(true);
    });
    QProgressDialog dialogo(GerenciadorIdiomas::texto("frmPrincipal", "msgAbrindoMusica"), GerenciadorIdiomas::texto("frmPrincipal", "btnCancelarAbertura"), 0, 1000, this);
    dialogo.setWindowTitle(GerenciadorIdiomas::texto("geral", "nomeAplicacao"));
    dialogo.setWindowModality(Qt::WindowModal);
    dialogo.setAutoClose(false);
    dialogo.setAutoReset(false);
    dialogo.setMinimumDuration(0);
    connect(&dialogo, &QProgressDialog::canceled, &dialogo, [&] {
        progresso.cancelar.store(true);
        dialogo.setLabelText(GerenciadorIdiomas::texto("frmPrincipal", "msgCancelandoAbertura"));
    });
    QEventLoop espera;
    QTimer vigia;
    connect(&vigia, &QTimer::timeout, &espera, [&] {
        // Escape and the close box cancel too, without the signal.
        if (dialogo.wasCanceled() && !progresso.cancelar.exchange(true))
            dialogo.setLabelText(GerenciadorIdiomas::texto("frmPrincipal", "msgCancelandoAbertura"));
        if (pronto.load()) {
            espera.quit();
            return;
        }
        // A busy bar while the library reads the score, then how much is converted.
        const int milesimos = progresso.milesimos.load();
        dialogo.setMaximum(milesimos < 0 ? 0 : 1000);
        dialogo.setValue(std::max(milesimos, 0));
    });
    vigia.start(50);
    dialogo.show();
    espera.exec();
    leitor.join();
    dialogo.hide();
    if (progresso.cancelar.load()) {
        saida.fecharArquivo();  // as a failed reading leaves it
        return false;
    }
    if (erro)
        std::rethrow_exception(erro);
    saida.instalarMusica(std::move(lida));
    return true;
}

void TFormPrincipal::abrirMusica(const QString &nomeArquivo)
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();

    // 1.-2.
    tempoAtual = 0;
    tkbAndamento->setValue(0);
    lblTime->setText(QStringLiteral("0"));
    try {
        SaidaMIDI &saida = SaidaMIDI::instancia();
        saida.reiniciarDispositivo();
        saida.reiniciarControladores();
        sequenciador.limparLoop();
        sequenciador.parar();
        // 3. A big song is read off the GUI thread; cancelled, the previous song stays.
        if (NomeArquivo::tamanho(nomeArquivo) < limiteLeituraDireta) {
            saida.carregarArquivo(nomeArquivo);
        } else if (!carregarEmSegundoPlano(nomeArquivo)) {
            if (estado != semMusica)
                pararMusica();
            return;
        }
        RegistroPratica::instancia().setMusica(nomeArquivo);
    } catch (const std::exception &erro) {
        // A file the reader refuses is no fault of the device: say which file it was.
        const auto *toolkit = dynamic_cast<const ESonoMidiException *>(&erro);
        if (toolkit && SaidaMIDI::arquivoRecusado(*toolkit))
            CaixaMensagem::mostrar(GerenciadorIdiomas::texto("frmPrincipal", "msgArquivoInvalido").replace(QLatin1String("%1"), QFileInfo(nomeArquivo).fileName()),
                                   GerenciadorIdiomas::texto("geral", "nomeAplicacao"), this);
        else
            mensagem("frmPrincipal", "msgPlacaDesconfigurada");
        // The sequencer is stopped at tick 0 now; the transport must say so.
        if (estado != semMusica)
            pararMusica();
        return;
    }
    SaidaMIDI &saida = SaidaMIDI::instancia();
    TFormSetup *setup = TFormSetup::FormSetup();

    // 4.-5.
    CmbTracks->clear();
    CmbTracks->setPlaceholderText(GerenciadorIdiomas::texto("frmPrincipal", "CmbTracksText"));
    numTrilhasBateria = 0;
    const int32_t numTrilhas = saida.getNumTrilhasArquivo();
    Musica *musica = gerenciador.getMusica();
    for (int32_t i = 0; i < numTrilhas && i <= 15; ++i) {
        if (musica && i < musica->getNumTrilhas() && musica->getTrilha(i)->temBateria()) {
            trilhasBateria[size_t(numTrilhasBateria)] = i;
            ++numTrilhasBateria;
            CmbTracks->addItem(GerenciadorIdiomas::texto("frmPrincipal", "Bateria") + QString::number(numTrilhasBateria));
        }
        if (setup) {
            // An empty name shows as ('frmPrincipal','SemNome').
            setup->mostrarTrilha(i, aparar(saida.nomeTrilha(i)));
            QCheckBox *caixa = setup->caixasCanal[size_t(i)];
            caixa->setChecked(true);
            caixa->setEnabled(true);
        }
        configuracao.setCanalAtivo(true, i);
    }
    // 6.
    if (numTrilhasBateria >= 2) {
        CmbTracks->addItem(GerenciadorIdiomas::texto("frmPrincipal", "BateriaTodas"));
        CmbTracks->setCurrentIndex(numTrilhasBateria);
        sequenciador.setTrilhaExibida(-1);
    } else if (numTrilhasBateria == 1) {
        CmbTracks->setCurrentIndex(0);
        sequenciador.setTrilhaExibida(trilhasBateria[0]);
    } else {
        CmbTracks->setCurrentIndex(-1);
    }
    // 7.-8. Boxes beyond the song's tracks; with no track at all box 0 is one of
    // them, since clearing it would ask for a track that does not exist.
    if (setup) {
        for (int32_t i = numTrilhas; i <= 15; ++i)
            setup->esvaziarCaixa(i);
        setup->CheckBoxSel->setEnabled(true);
        setup->CheckBoxSel->setChecked(true);
    }
    // 9.-10.
    esconderTudo();
    ckKaraoke->setChecked(false);
    sequenciador.setPlayAlong(false);
    // 11.-12.
    tempoTotal = gerenciador.getTotalTempos();
    lblTimeTotal->setText(QString::number(tempoTotal));
    tkbAndamento->setMaximum(gerenciador.getTotalTicks());
    // 13.-15.
    status("Tocando");
    imgPlay->setEnabled(false);
    for (QWidget *controle : std::initializer_list<QWidget *>{imgStop, imgPause, imgFF, imgRew, imgRepeat, CmbTracks,
                                                             tkbAndamento, tkbBPM})
        controle->setEnabled(true);
    sequenciador.tocar();
    estado = tocando;
}

void TFormPrincipal::CmbTracksChange(int indice)
{
    if (indice < 0)
        return;
    if (indice == numTrilhasBateria)
        Sequenciador::instancia().setTrilhaExibida(-1);
    else if (indice < numTrilhasBateria)
        Sequenciador::instancia().setTrilhaExibida(trilhasBateria[size_t(indice)]);
    esconderTudo();
}

// ---- Tempo, volume and position ----

void TFormPrincipal::tkbBPMChange()
{
    const int posicao = tkbBPM->value();
    if (Sequenciador::instancia().getAndamento() == posicao)
        return;
    // A drag sets the speed relative to the song, which its tempo changes keep.
    Sequenciador::instancia().escolherAndamento(posicao);
    mostrarAndamento(posicao);
}

void TFormPrincipal::mostrarAndamento(int bpm)
{
    const long percentual = std::lround(Sequenciador::instancia().getFatorVelocidade() * 100.0);
    lblVelocidade->setVisible(percentual == 100);
    if (percentual == 100) {
        DesenhoPrincipal::legendar(lblBPM, QString::number(bpm));
        return;
    }
    // "96 (80 %)" needs the room of the caption too: it takes the caption's place,
    // centred over the slider and clear of "Play Along".
    DesenhoPrincipal::legendar(lblBPM, GerenciadorIdiomas::texto("frmPratica", "lblBPMVelocidade").arg(bpm).arg(percentual));
    const int largura = lblBPM->width();
    const int centro = tkbBPM->geometry().center().x();
    const int esquerda = std::max(lblVelocidade->x(), std::min(centro - largura / 2, lblPlayAlong->x() - 3 - largura));
    lblBPM->move(esquerda, lblBPM->y());
}

void TFormPrincipal::tkbVolChange()
{
    const int volume = tkbVol->maximum() - tkbVol->value();
    try {
        SaidaMIDI::instancia().setVolumeGeral(volume);
        ArquivoConfiguracao::instancia().setVolume(volume);
    } catch (const std::exception &) {
        mensagem("frmPrincipal", "msgPlacaDesconfigurada");
    }
}

void TFormPrincipal::tkbAndamentoChange()
{
    if (estado != adiantando && estado != voltando && !atualizandoPosicao) {
        Sequenciador &sequenciador = Sequenciador::instancia();
        SaidaMIDI &saida = SaidaMIDI::instancia();
        saida.reiniciarDispositivo();
        saida.reiniciarControladores();
        esconderTudo();
        const int posicao = tkbAndamento->value();
        // The reports that playing from tick 0 would have made before this tick.
        tempoAtual = (posicao + 63) / 64;
        if (estado == repetindo && sequenciador.getFimLoop() > sequenciador.getInicioLoop()
            && sequenciador.getFimLoop() < posicao)
            imgPlayClick();
        else if (estado == inicioMarcado && sequenciador.getInicioLoop() > posicao)
            imgPlayClick();
        sequenciador.setPosicao(posicao);
    }
    lblTime->setText(QString::number(tempoAtual));
}

void TFormPrincipal::exibirAndamento(int32_t andamento)
{
    if (andamento < 40 || andamento > 240)
        return;
    tkbBPM->setValue(andamento);
    mostrarAndamento(tkbBPM->value());
}

void TFormPrincipal::exibirPosicao()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    // A Play Along pass from the song's start starts the kit anew from when tick 0 was
    // due: a replay device then plays its file along with the song (a real kit loses nothing).
    if (sequenciador.getPosicao() == 0 && sequenciador.getPlayAlong()) {
        try {
            EntradaMIDI::instancia().reiniciar(sequenciador.getInstanteDoTick());
        } catch (const std::exception &) {
        }
    }
    atualizandoPosicao = true;
    // Repeating, a position behind the slider means the loop wrapped: the slider
    // move below is then a seek (silence, clear the kit, recount the beats).
    const bool voltaDoLoop = estado == repetindo && sequenciador.getPosicao() < tkbAndamento->value();
    if (voltaDoLoop)
        atualizandoPosicao = false;
    else
        ++tempoAtual;
    tkbAndamento->setValue(sequenciador.getPosicao());
    if (voltaDoLoop)
        ++tempoAtual;  // this report counts like any other
    lblTime->setText(QString::number(tempoAtual));
    // Past the last tick, not at it: a song whose length is a multiple of 64 has
    // its last tick played before the next report stops it.
    if (sequenciador.getPosicao() > GerenciadorMusica::instancia().getTotalTicks() && atualizandoPosicao)
        pararMusica();
    atualizandoPosicao = false;
}

// ---- Play Along scoring and the drum kit ----

void TFormPrincipal::exibirAvaliacao()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    Avaliador &avaliador = sequenciador.getAvaliador();
    for (const Avaliador::Marca &marca : avaliador.retirarMarcas())
        painelAvaliacao->mostrarMarca(marca);
    const std::vector<ResultadoAvaliacao> resultados = avaliador.retirarResultados();
    if (sequenciador.getPlayAlong())
        painelAvaliacao->atualizarFaixa(avaliador.parcial(), avaliador.getSequencia());
    if (!resultados.empty())
        painelAvaliacao->mostrarResultado(resultados.back());
    // The practice history: a run's time counts from its first news; each finished
    // run is written from the event loop, after the results panel above.
    RegistroPratica &registro = RegistroPratica::instancia();
    if (sequenciador.getPlayAlong() && sequenciador.estaTocando())
        registro.iniciarExecucao();
    for (const ResultadoAvaliacao &resultado : resultados)
        registro.guardar(resultado, registro.getMusica(), sequenciador.getInicioLoop(), sequenciador.getFimLoop(),
                         sequenciador.getFatorVelocidade(), this);
}

void TFormPrincipal::pontuar(int32_t nota, int64_t instante)
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    if (!sequenciador.getPlayAlong() || !sequenciador.estaTocando())
        return;
    const auto latencia = int64_t(std::llround(ArquivoConfiguracao::instancia().getLatencia() * 1000.0));
    sequenciador.getAvaliador().tocar(nota, instante - latencia);
    exibirAvaliacao();
}

void TFormPrincipal::receberKit(uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante)
{
    Instrumento *kit = instrumento();
    const uint8_t tipo = status & 0xF0;
    if (tipo == 0x90 && dado2 > 0) {
        if (kit)
            kit->mostrarNota(dado1);
        // A drum module sounds by itself; a pad controller needs Tamborly's sound.
        if (ArquivoConfiguracao::instancia().getSomKit()) {
            try {
                SaidaMIDI::instancia().notaLigada(9, dado2, dado1);
            } catch (const std::exception &) {
            }
        }
        pontuar(dado1, instante);
    } else if (tipo == 0x80 || tipo == 0x90) {
        if (kit)
            kit->esconderNota(dado1);
    } else if (tipo == 0xB0 && dado1 == 4 && kit) {
        // The foot controller: pressed down, the hat closes as under the pedal note.
        if (dado2 >= 64)
            kit->mostrarNota(TecladoBateria::notaPedal);
        else
            kit->esconderNota(TecladoBateria::notaPedal);
    }
}

// ---- Keyboard drumming, play-along and help ----

bool TFormPrincipal::eventFilter(QObject *objeto, QEvent *evento)
{
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::KeyPress && tipo != QEvent::KeyRelease)
        return false;
    auto *tecla = static_cast<QKeyEvent *>(evento);
    // The window's own platform window gets each key once, before any control;
    // so does the list of the track selector while it is open.
    if (objeto != windowHandle() && !ehJanelaDeLista(objeto)) {
        // ckKaraokeKeyDown: a key sent to the play-along box directly; the
        // window has played Space as the bass drum already.
        return objeto == ckKaraoke && tecla->key() == Qt::Key_Space;
    }
    // Esc closes the Play Along results, and plays no drum.
    if (!tecla->isAutoRepeat() && tipo == QEvent::KeyPress && tecla->key() == Qt::Key_Escape
        && painelAvaliacao->resultadoVisivel()) {
        painelAvaliacao->fecharResultado();
        return true;
    }
    const uint16_t codigo = TecladoBateria::codigo(tecla->key());
    if (!tecla->isAutoRepeat()) {
        instanteTecla = EntradaMIDI::agora();
        if (tipo == QEvent::KeyPress)
            FormKeyDown(codigo, tecla->modifiers());
        else
            FormKeyUp(codigo, tecla->modifiers());
        instanteTecla = 0;
    }
    // The drum keys and Ctrl are the kit's alone: passed on, Space would open the
    // track selector and a letter would pick another track. Other keys (Tab,
    // arrows, Escape) reach the focused control as usual.
    return TecladoBateria::procurar(codigo) || tecla->key() == Qt::Key_Control;
}

bool TFormPrincipal::ehJanelaDeLista(QObject *objeto) const
{
    QWidget *lista = QApplication::activePopupWidget();
    return lista && objeto == lista->windowHandle() && lista->parentWidget() && lista->parentWidget()->window() == this;
}

void TFormPrincipal::FormKeyDown(uint16_t tecla, Qt::KeyboardModifiers shift)
{
    processarTecla(tecla, shift, true);
}

void TFormPrincipal::FormKeyUp(uint16_t tecla, Qt::KeyboardModifiers shift)
{
    processarTecla(tecla, shift, false);
}

void TFormPrincipal::processarTecla(uint16_t tecla, Qt::KeyboardModifiers shift, bool baixo)
{
    const bool ctrl = shift.testFlag(Qt::ControlModifier);
    const TecladoBateria::Tecla *drum = TecladoBateria::procurar(tecla);
    Instrumento *kit = instrumento();
    if (ctrl) {
        if (kit)
            kit->mostrarNota(TecladoBateria::notaPedal);
        if (baixo && !teclasPressionadas[TecladoBateria::slotPedal]) {
            teclasPressionadas[TecladoBateria::slotPedal] = true;
            tocarNotaTeclado(TecladoBateria::notaPedal);
            pontuar(TecladoBateria::notaPedal, instanteTecla ? instanteTecla : EntradaMIDI::agora());
        }
    } else {
        if (kit)
            kit->esconderNota(TecladoBateria::notaPedal);
        teclasPressionadas[TecladoBateria::slotPedal] = false;
    }
    if (!drum)
        return;
    const uint32_t nota = ctrl ? drum->notaComCtrl : drum->nota;
    bool &segura = teclasPressionadas[size_t(drum->slot)];
    if (baixo) {
        if (segura)
            return;
        if (kit)
            kit->mostrarNota(nota);
        segura = true;
        tocarNotaTeclado(nota);
        pontuar(int32_t(nota), instanteTecla ? instanteTecla : EntradaMIDI::agora());
    } else {
        if (kit)
            kit->esconderNota(nota);
        segura = false;
    }
}

void TFormPrincipal::tocarNotaTeclado(uint32_t nota)
{
    try {
        SaidaMIDI::instancia().notaLigada(9, 127, int32_t(nota));
    } catch (...) {
        // Reported once (by the event loop); every later stroke would raise the
        // same error, so they stay quiet until the device is set up again.
        if (falhaTecladoAvisada)
            return;
        falhaTecladoAvisada = true;
        throw;
    }
}

void TFormPrincipal::ckKaraokeClick()
{
    Sequenciador::instancia().setPlayAlong(ckKaraoke->isChecked());
    if (ckKaraoke->isChecked())
        painelAvaliacao->atualizarFaixa(ResultadoAvaliacao{}, 0);
    else
        painelAvaliacao->limpar();
}

void TFormPrincipal::imgTecladoPequenoClick()
{
    mostrarAjudaTeclado(true);
}

void TFormPrincipal::btnFecharAjudaAtalhosClick()
{
    mostrarAjudaTeclado(false);
}

void TFormPrincipal::mostrarAjudaTeclado(bool mostrar)
{
    panelTecladoEsquema->setVisible(mostrar);
    panelBtnFecharAjuda->setVisible(mostrar);
    panelTecladoPequeno->setVisible(!mostrar);
    for (Imagem *tecla : imagensTeclas)
        tecla->setVisible(mostrar);
}

void TFormPrincipal::abrirDocumentoAjuda(const char *secao, const char *chave, const char *naoEncontrado)
{
    try {
        const QString documento = PastaAplicacao::arquivo(GerenciadorIdiomas::texto(secao, chave));
        if (!QFileInfo(documento).isFile())
            mensagem("geral", naoEncontrado);
        else if (!Util::abrirDocumento(documento))
            mensagem("geral", "erroAbrirNavegador");
    } catch (const std::exception &) {
        mensagem("geral", "erroAbrirNavegador");
    }
}

void TFormPrincipal::imgHelpClick()
{
    abrirDocumentoAjuda("(r)parametros", "caminhoAjuda", "erroEncontrarAjuda");
}

void TFormPrincipal::imgTutorialClick()
{
    abrirDocumentoAjuda("parametros", "caminhoTutorial", "erroEncontrarTutorial");
}

void TFormPrincipal::imgURLClick()
{
    // Without a browser, the same message as the help button's.
    if (!Util::abrirDocumento(GerenciadorIdiomas::texto("(r)parametros", "urlOrvalis")))
        mensagem("geral", "erroAbrirNavegador");
}

void TFormPrincipal::lblURLClick()
{
    if (!Util::abrirDocumento(QString::fromLatin1(siteFabricante)))
        mensagem("geral", "erroAbrirNavegador");
}
