#include "HistoricoTerminal.h"

#include "practice/HistoricoPratica.h"

#include <QFileInfo>
#include <QStringList>

HistoricoTerminal::HistoricoTerminal()
{
    desdeInicio.start();
}

HistoricoTerminal::~HistoricoTerminal() = default;

void HistoricoTerminal::guardar(const ResultadoAvaliacao &resultado, const QString &arquivo, double velocidade,
                                FILE *erros)
{
    if (!HistoricoPratica::vale(resultado))
        return;
    if (!historico) {
        historico = std::make_unique<HistoricoPratica>();
        if (!historico->getArquivoDanificado().isEmpty())
            std::fprintf(erros, "tamborly-play: the practice history was damaged; it was moved to %s and a new one started\n",
                         qPrintable(historico->getArquivoDanificado()));
        hash = HistoricoPratica::hashArquivo(arquivo);
    }
    ExecucaoPratica e;
    e.arquivo = QFileInfo(arquivo).fileName();
    e.hash = hash;
    e.velocidade = velocidade;
    e.duracaoMs = desdeInicio.restart();
    e.resultado = resultado;
    e.resultado.desviosMs.clear();
    if (!hash.isEmpty() && historico->salvar(e))
        return;
    if (!falhaDita)
        std::fprintf(erros, "tamborly-play: the run could not be kept in the practice history (%s)\n",
                     qPrintable(hash.isEmpty() ? arquivo + QStringLiteral(": cannot read the file") : historico->getErro()));
    falhaDita = true;
}

QString HistoricoTerminal::linha(const ExecucaoPratica &e)
{
    const ResultadoAvaliacao &r = e.resultado;
    // The section in beats counted from 1, as the window's beat counter shows it.
    const QString secao = e.temLoop() ? QStringLiteral("%1-%2").arg(e.loopInicio / 64 + 1).arg(e.loopFim / 64 + 1)
                                      : QStringLiteral("all");
    QStringList familias;
    for (const auto &[familia, f] : r.familias)
        familias << QStringLiteral("%1:%2/%3").arg(familia).arg(f.acertos).arg(f.esperados);
    return QStringLiteral("%1 accuracy=%2% expected=%3 perfect=%4 good=%5 ok=%6 misses=%7 extras=%8"
                          " mean_offset_ms=%9 spread_ms=%10 speed=%11% section=%12 minutes=%13 families=%14 file=%15")
        .arg(e.quando.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        .arg(r.precisao(), 0, 'f', 1)
        .arg(r.esperados)
        .arg(r.perfeitos)
        .arg(r.bons)
        .arg(r.ok)
        .arg(r.perdidos)
        .arg(r.extras)
        .arg(r.desvioMedioMs, 0, 'f', 1)
        .arg(r.dispersaoMs, 0, 'f', 1)
        .arg(qRound(e.velocidade * 100))
        .arg(secao)
        .arg(e.duracaoMs / 60000.0, 0, 'f', 1)
        .arg(familias.isEmpty() ? QStringLiteral("-") : familias.join(QLatin1Char(',')))
        .arg(e.arquivo);
}

int HistoricoTerminal::imprimir(const QString &arquivo, FILE *saida, FILE *erros)
{
    const QString hash = HistoricoPratica::hashArquivo(arquivo);
    if (hash.isEmpty()) {
        std::fprintf(erros, "tamborly-play: %s: cannot read the file\n", qPrintable(arquivo));
        return 1;
    }
    HistoricoPratica historico;
    if (!historico.getArquivoDanificado().isEmpty())
        std::fprintf(erros, "tamborly-play: the practice history was damaged; it was moved to %s and a new one started\n",
                     qPrintable(historico.getArquivoDanificado()));
    if (!historico.aberto()) {
        std::fprintf(erros, "tamborly-play: cannot open the practice history: %s\n", qPrintable(historico.getErro()));
        return 1;
    }
    const std::vector<ExecucaoPratica> execucoes = historico.execucoesDaMusica(hash);
    if (!historico.getErro().isEmpty()) {
        std::fprintf(erros, "tamborly-play: cannot read the practice history: %s\n", qPrintable(historico.getErro()));
        return 1;
    }
    if (execucoes.empty())
        std::fprintf(erros, "tamborly-play: no scored runs of %s yet (play it with --play-along)\n",
                     qPrintable(QFileInfo(arquivo).fileName()));
    for (const ExecucaoPratica &e : execucoes)
        std::fprintf(saida, "%s\n", qPrintable(linha(e)));
    return 0;
}
