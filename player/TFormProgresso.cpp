#include "player/TFormProgresso.h"

#include "player/GraficoProgresso.h"
#include "practice/HistoricoPratica.h"
#include "practice/ResumoProgresso.h"
#include "settings/GerenciadorIdiomas.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString texto(const char *chave)
{
    return GerenciadorIdiomas::textoDeRotulo("frmProgresso", chave);
}

QString duracao(qint64 ms)
{
    const qint64 minutos = (ms + 30000) / 60000;
    if (minutos < 60)
        return texto("minutos").arg(minutos);
    return texto("horas").arg(minutos / 60).arg(minutos % 60);
}

QString nomeFamilia(int familia)
{
    const QString nome = texto(QStringLiteral("familia%1").arg(familia).toLatin1().constData());
    return nome.isEmpty() ? texto("familiaNota").arg(familia) : nome;
}

QString numero(double v, int casas = 0)
{
    return QString::number(v, 'f', casas);
}

}  // namespace

TFormProgresso::TFormProgresso(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(texto("titulo"));
    setFixedSize(640, 500);
    auto *layout = new QVBoxLayout(this);

    lblTitulo = new QLabel(this);
    QFont fonteTitulo = lblTitulo->font();
    fonteTitulo.setBold(true);
    fonteTitulo.setPixelSize(15);
    lblTitulo->setFont(fonteTitulo);
    layout->addWidget(lblTitulo);

    grafico = new GraficoProgresso(this);
    grafico->setTextos(texto("lblPrecisao"), texto("lblDesvio"));
    layout->addWidget(grafico, 1);

    lblVazio = new QLabel(this);
    lblVazio->setWordWrap(true);
    lblVazio->setAlignment(Qt::AlignCenter);
    lblVazio->setMargin(24);
    layout->addWidget(lblVazio, 1);

    for (QLabel **rotulo : {&lblMelhor, &lblSemana, &lblFamilias}) {
        *rotulo = new QLabel(this);
        (*rotulo)->setWordWrap(true);
        layout->addWidget(*rotulo);
    }

    btnFechar = new QPushButton(texto("btnFechar"), this);
    auto *botoes = new QHBoxLayout;
    botoes->addStretch(1);
    botoes->addWidget(btnFechar);
    layout->addLayout(botoes);
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);

    mostrarVazio(texto("semMusica"));
}

TFormProgresso::~TFormProgresso() = default;

void TFormProgresso::mostrarVazio(const QString &t)
{
    grafico->setExecucoes({}, -1);
    grafico->hide();
    lblVazio->setText(t);
    lblVazio->show();
    lblMelhor->hide();
    lblFamilias->hide();
}

void TFormProgresso::mostrarMusica(const QString &arquivoMusica, HistoricoPratica *historico, const QDateTime &agora)
{
    const QString nome = QFileInfo(arquivoMusica).fileName();
    lblTitulo->setText(nome);
    const QDateTime inicioSemana = ResumoProgresso::inicioDaSemana(agora);
    const qint64 semanaTotal = historico && historico->aberto() ? historico->tempoPraticadoDesde(inicioSemana) : 0;
    if (arquivoMusica.isEmpty()) {
        mostrarVazio(texto("semMusica"));
        lblSemana->setText(texto("semanaTotal").arg(duracao(semanaTotal)));
        return;
    }
    if (!historico || !historico->aberto()) {
        mostrarVazio(texto("historicoIndisponivel"));
        lblSemana->clear();
        return;
    }
    const std::vector<ExecucaoPratica> execucoes = historico->execucoesDaMusica(
        HistoricoPratica::hashArquivo(arquivoMusica), ResumoProgresso::execucoesRecentes);
    const ResumoProgresso resumo = ResumoProgresso::calcular(execucoes, agora);
    lblSemana->setText(texto("semana").arg(duracao(resumo.tempoSemanaMs), duracao(semanaTotal)));
    if (execucoes.empty()) {
        mostrarVazio(texto("lblVazio"));
        return;
    }
    lblTitulo->setText(execucoes.size() == 1 ? texto("lblTitulo1").arg(nome)
                                             : texto("lblTitulo").arg(nome).arg(execucoes.size()));
    lblVazio->hide();
    grafico->setExecucoes(execucoes, resumo.melhor);
    grafico->show();

    const ExecucaoPratica &melhor = execucoes[resumo.melhor];
    const double desvio = melhor.resultado.desvioMedioMs;
    lblMelhor->setText(texto("melhor")
                           .arg(numero(melhor.resultado.precisao(), 1),
                                melhor.quando.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                (desvio > 0 ? QStringLiteral("+") : QString()) + numero(desvio, 1),
                                numero(std::round(melhor.velocidade * 100))));
    lblMelhor->show();

    if (resumo.familiasFracas.empty()) {
        lblFamilias->setText(texto("familiasBoas"));
    } else {
        QStringList fracas;
        for (const ResumoProgresso::FamiliaFraca &f : resumo.familiasFracas)
            fracas << QStringLiteral("%1 %2 %").arg(nomeFamilia(f.familia), numero(f.precisao));
        lblFamilias->setText(texto("familiasFracas").arg(fracas.join(QStringLiteral(", "))));
    }
    lblFamilias->show();
}
