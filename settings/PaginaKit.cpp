#include "settings/PaginaKit.h"

#include "engine/SaidaMIDI.h"
#include "platform/CaixaMensagem.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

QString textoKit(const char *chave)
{
    return GerenciadorIdiomas::textoDeRotulo("frmKit", chave);
}

}  // namespace

PaginaKit::PaginaKit() : timerCalibracao(new QTimer(this))
{
    setObjectName(QStringLiteral("TabKit"));
    lblEntrada = new QLabel(textoKit("lblEntrada"), this);
    lblEntrada->setGeometry(8, 10, 266, 16);
    CmbEntrada = new QComboBox(this);
    CmbEntrada->setObjectName(QStringLiteral("CmbEntrada"));
    CmbEntrada->setGeometry(8, 28, 266, 22);
    ckSomKit = new QCheckBox(textoKit("ckSomKit"), this);
    ckSomKit->setObjectName(QStringLiteral("ckSomKit"));
    ckSomKit->setGeometry(8, 60, 266, 18);
    btnCalibrar = new QPushButton(textoKit("btnCalibrar"), this);
    btnCalibrar->setObjectName(QStringLiteral("btnCalibrar"));
    btnCalibrar->setGeometry(8, 90, 100, 25);
    // A line of its own: "Latency: -12 ms (spread 30 ms)" is longer in other languages.
    lblLatencia = new QLabel(this);
    lblLatencia->setGeometry(8, 120, 266, 18);
    lblCalibracao = new QLabel(this);
    lblCalibracao->setObjectName(QStringLiteral("lblCalibracao"));
    lblCalibracao->setGeometry(8, 142, 266, 52);
    lblCalibracao->setWordWrap(true);
    lblCalibracao->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    timerCalibracao->setSingleShot(true);
    timerCalibracao->setTimerType(Qt::PreciseTimer);
    connect(timerCalibracao, &QTimer::timeout, this, &PaginaKit::tocarClique);
    connect(CmbEntrada, &QComboBox::activated, this, &PaginaKit::CmbEntradaChange);
    connect(ckSomKit, &QCheckBox::toggled, this, &PaginaKit::ckSomKitClick);
    connect(btnCalibrar, &QPushButton::clicked, this, &PaginaKit::btnCalibrarClick);
    atualizar();
}

PaginaKit::~PaginaKit()
{
    cancelarCalibracao();
}

void PaginaKit::atualizar()
{
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    const QString guardada = configuracao.getEntrada();
    QStringList nomes;
    try {
        nomes = EntradaMIDI::instancia().listarDispositivos();
    } catch (...) {
        // Without the driver library there is no device to list.
    }
    // A stored kit that is unplugged now stays the choice: it is listed all the same.
    if (!guardada.isEmpty() && !nomes.contains(guardada))
        nomes.append(guardada);
    preenchendo = true;
    {
        const QSignalBlocker bloqueio(CmbEntrada);
        CmbEntrada->clear();
        CmbEntrada->addItem(textoKit("entradaNenhuma"), QString());
        for (const QString &nome : nomes)
            CmbEntrada->addItem(nome, nome);
        CmbEntrada->setCurrentIndex(std::max(0, CmbEntrada->findData(guardada)));
    }
    {
        const QSignalBlocker bloqueio(ckSomKit);
        ckSomKit->setChecked(configuracao.getSomKit());
    }
    preenchendo = false;
    mostrarLatencia();
}

void PaginaKit::changeEvent(QEvent *evento)
{
    QWidget::changeEvent(evento);
    if (evento->type() != QEvent::LanguageChange)
        return;
    lblEntrada->setText(textoKit("lblEntrada"));
    ckSomKit->setText(textoKit("ckSomKit"));
    btnCalibrar->setText(textoKit("btnCalibrar"));
    if (CmbEntrada->count() > 0)
        CmbEntrada->setItemText(0, textoKit("entradaNenhuma"));
    mostrarLatencia();
}

void PaginaKit::mostrarLatencia()
{
    const ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    lblLatencia->setText(textoKit("lblLatencia")
                             .arg(QString::number(configuracao.getLatencia(), 'f', 0),
                                  QString::number(configuracao.getLatenciaDispersao(), 'f', 0)));
}

void PaginaKit::CmbEntradaChange(int indice)
{
    if (preenchendo || indice < 0)
        return;
    const QString nome = CmbEntrada->itemData(indice).toString();
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    bool aberto = false;
    try {
        EntradaMIDI &entrada = EntradaMIDI::instancia();
        if (nome == configuracao.getEntrada() && entrada.dispositivoAberto() && entrada.getNome() == nome)
            return;
        if (nome.isEmpty())
            entrada.fechar();
        aberto = nome.isEmpty() || entrada.abrirDispositivo(nome);
    } catch (...) {
        aberto = false;
    }
    // Kept even when it did not open: the kit may be plugged in before the next start.
    configuracao.setEntrada(nome);
    if (!aberto)
        CaixaMensagem::mostrar(textoKit("msgEntradaIndisponivel").arg(nome), GerenciadorIdiomas::texto("geral", "nomeAplicacao"), this);
}

void PaginaKit::ckSomKitClick()
{
    if (!preenchendo)
        ArquivoConfiguracao::instancia().setSomKit(ckSomKit->isChecked());
}

void PaginaKit::btnCalibrarClick()
{
    if (calibrando())
        return;
    // Each click sounds as a song's stroke due at its time does, the output's latency
    // after it: the drummer is measured against what is heard, and that latency is
    // already part of when a song's strokes are expected.
    int64_t latenciaSaida = 0;
    try {
        latenciaSaida = SaidaMIDI::instancia().getLatenciaSaida();
    } catch (...) {
    }
    // The first click a little after the press, so the drummer is ready for it.
    calibracao.iniciar(EntradaMIDI::agora() + Calibracao::intervaloUs, latenciaSaida);
    cliqueAtual = 0;
    btnCalibrar->setEnabled(false);
    lblCalibracao->setText(textoKit("msgCalibrando").arg(0));
    try {
        EntradaMIDI &entrada = EntradaMIDI::instancia();
        receptorAnterior = entrada.getReceptor();
        entrada.setReceptor([this](uint8_t status, uint8_t, uint8_t dado2, int64_t instante) {
            if ((status & 0xF0) == 0x90 && dado2 > 0)
                registrarBatida(instante);
        });
        // A replay kit plays its file from when the first click is due, as it plays along
        // with a song from when tick 0 is due.
        entrada.reiniciar(calibracao.devidoDoClique(0));
    } catch (...) {
        // No library: Space still calibrates the keyboard.
    }
    qApp->installEventFilter(this);
    programarClique(calibracao.devidoDoClique(0) - antecedenciaCliqueUs);
}

void PaginaKit::programarClique(int64_t instante)
{
    timerCalibracao->start(int(std::max<int64_t>(0, (instante - EntradaMIDI::agora()) / 1000)));
}

void PaginaKit::tocarClique()
{
    if (!calibrando())
        return;
    if (cliqueAtual >= Calibracao::numCliques) {
        terminarCalibracao();
        return;
    }
    // Handed over ahead of its time, the click is placed by the output: a busy moment
    // of this thread does not move it. Marked with when it really sounds.
    try {
        // Wood blocks, the first of each four accented, as a metronome sounds.
        const bool acento = cliqueAtual % 4 == 0;
        calibracao.marcarClique(cliqueAtual, SaidaMIDI::instancia().notaLigadaEm(calibracao.devidoDoClique(cliqueAtual), 9,
                                                                                 acento ? 127 : 100, acento ? 76 : 77));
    } catch (...) {
    }
    ++cliqueAtual;
    lblCalibracao->setText(textoKit("msgCalibrando").arg(cliqueAtual));
    // Each click is aimed at its own time, so a late timer does not push the rest back.
    programarClique(cliqueAtual < Calibracao::numCliques
                        ? calibracao.devidoDoClique(cliqueAtual) - antecedenciaCliqueUs
                        : calibracao.fim());
}

void PaginaKit::registrarBatida(int64_t instante)
{
    if (calibrando())
        calibracao.registrarBatida(instante);
}

void PaginaKit::terminarCalibracao()
{
    const Calibracao::Resultado resultado = calibracao.resultado();
    cancelarCalibracao();
    if (resultado.valido) {
        ArquivoConfiguracao::instancia().setLatencia(resultado.latenciaMs, resultado.dispersaoMs);
        lblCalibracao->setText(textoKit("msgCalibrado").arg(resultado.batidas));
    } else {
        lblCalibracao->setText(textoKit("msgPoucasBatidas").arg(resultado.batidas));
    }
    mostrarLatencia();
}

void PaginaKit::cancelarCalibracao()
{
    if (!calibrando())
        return;
    cliqueAtual = -1;
    timerCalibracao->stop();
    qApp->removeEventFilter(this);
    try {
        EntradaMIDI::instancia().setReceptor(receptorAnterior);
    } catch (...) {
    }
    receptorAnterior = nullptr;
    btnCalibrar->setEnabled(true);
}

bool PaginaKit::eventFilter(QObject *objeto, QEvent *evento)
{
    // Space strikes during calibration, wherever the focus is; each key press counts once.
    if (calibrando() && (evento->type() == QEvent::KeyPress || evento->type() == QEvent::KeyRelease)) {
        auto *tecla = static_cast<QKeyEvent *>(evento);
        if (tecla->key() == Qt::Key_Space) {
            if (evento->type() == QEvent::KeyPress && !tecla->isAutoRepeat() && objeto == window()->windowHandle())
                registrarBatida(EntradaMIDI::agora());
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void PaginaKit::hideEvent(QHideEvent *evento)
{
    // A dialog closed mid-calibration changes nothing.
    if (calibrando()) {
        cancelarCalibracao();
        lblCalibracao->clear();
    }
    QWidget::hideEvent(evento);
}
