#include "player/RegistroPratica.h"

#include "platform/CaixaMensagem.h"
#include "player/TFormProgresso.h"
#include "practice/HistoricoPratica.h"
#include "settings/GerenciadorIdiomas.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

void avisar(const char *chave, const QString &detalhe, QWidget *dono)
{
    CaixaMensagem::mostrar(GerenciadorIdiomas::texto("frmProgresso", chave).arg(detalhe), GerenciadorIdiomas::texto("geral", "nomeAplicacao"), dono);
}

}  // namespace

RegistroPratica::RegistroPratica() = default;
RegistroPratica::~RegistroPratica() = default;

RegistroPratica &RegistroPratica::instancia()
{
    static RegistroPratica registro;
    return registro;
}

void RegistroPratica::definirCaminho(const QString &novo)
{
    aberto.reset();
    caminho = novo;
    abertoUmaVez = false;
    falhaAvisada = false;
}

HistoricoPratica *RegistroPratica::historico(QWidget *dono)
{
    if (!abertoUmaVez) {
        abertoUmaVez = true;
        aberto = std::make_unique<HistoricoPratica>(caminho.isEmpty() ? HistoricoPratica::caminhoPadrao() : caminho);
        if (!aberto->getArquivoDanificado().isEmpty())
            avisar("msgHistoricoDanificado", aberto->getArquivoDanificado(), dono);
    }
    return aberto && aberto->aberto() ? aberto.get() : nullptr;
}

void RegistroPratica::iniciarExecucao()
{
    if (!desdeInicio.isValid())
        desdeInicio.start();
}

void RegistroPratica::guardar(const ResultadoAvaliacao &resultado, const QString &arquivoMusica, int32_t loopInicio,
                              int32_t loopFim, double velocidade, QWidget *dono)
{
    if (!HistoricoPratica::vale(resultado))
        return;
    // The run's time runs to now; the next one starts with its own first news.
    const qint64 duracaoMs = desdeInicio.isValid() ? desdeInicio.elapsed() : 0;
    desdeInicio.invalidate();
    const QDateTime quando = QDateTime::currentDateTimeUtc();
    ++pendentes;
    QPointer<QWidget> janela(dono);
    QTimer::singleShot(0, [=, this] {
        --pendentes;
        salvar(resultado, arquivoMusica, loopInicio, loopFim, velocidade, duracaoMs, quando, janela.data());
    });
}

QString RegistroPratica::hashDaMusica(const QString &arquivoMusica)
{
    const QFileInfo info(arquivoMusica);
    if (arquivoMusica != hashDe || info.size() != hashTamanho || info.lastModified() != hashModificado) {
        hashArquivo = HistoricoPratica::hashArquivo(arquivoMusica);
        hashDe = arquivoMusica;
        hashTamanho = info.size();
        hashModificado = info.lastModified();
    }
    return hashArquivo;
}

void RegistroPratica::salvar(const ResultadoAvaliacao &resultado, const QString &arquivoMusica, int32_t loopInicio,
                             int32_t loopFim, double velocidade, qint64 duracaoMs, const QDateTime &quando,
                             QWidget *dono)
{
    ExecucaoPratica e;
    e.quando = quando;
    e.arquivo = QFileInfo(arquivoMusica).fileName();
    e.hash = hashDaMusica(arquivoMusica);
    e.loopInicio = loopInicio;
    e.loopFim = loopFim;
    e.velocidade = velocidade;
    e.duracaoMs = duracaoMs;
    e.resultado = resultado;
    e.resultado.desviosMs.clear();  // not kept: the mean and the spread are
    HistoricoPratica *h = historico(dono);
    if (e.hash.isEmpty()) {
        if (!falhaAvisada)
            avisar("msgHistoricoFalhou", arquivoMusica, dono);
        falhaAvisada = true;
        return;
    }
    if (h && h->salvar(e))
        return;
    // Said once: a drummer repeating a loop must not get a box at every repeat.
    if (!falhaAvisada)
        avisar("msgHistoricoFalhou", aberto ? aberto->getErro() : QString(), dono);
    falhaAvisada = true;
}

void RegistroPratica::mostrarProgresso(QWidget *dono)
{
    TFormProgresso view(dono);
    view.mostrarMusica(musica, historico(dono));
    view.exec();
}
