#include "TocadorTerminal.h"

#include "HistoricoTerminal.h"

#include "engine/EntradaMIDI.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>

TocadorTerminal::TocadorTerminal(FILE *saida) : saida(saida)
{
    AcessoGui::instancia().registrar(this);
}

void TocadorTerminal::setPlayAlong(bool valor, double latenciaMs)
{
    playAlong = valor;
    latenciaUs = std::llround(latenciaMs * 1000.0);
}

void TocadorTerminal::receberBatida(uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante)
{
    if ((status & 0xF0) != 0x90 || dado2 == 0)
        return;
    Avaliador &avaliador = Sequenciador::instancia().getAvaliador();
    if (playAlong && avaliador.ativo())
        avaliador.tocar(dado1, instante - latenciaUs);
}

void TocadorTerminal::exibirAvaliacao()
{
    Avaliador &avaliador = Sequenciador::instancia().getAvaliador();
    avaliador.retirarMarcas();
    for (ResultadoAvaliacao &resultado : avaliador.retirarResultados()) {
        if (historico)
            historico->guardar(resultado, arquivoMusica, Sequenciador::instancia().getFatorVelocidade(), stderr);
        resultados.push_back(std::move(resultado));
    }
}

void TocadorTerminal::imprimirPontuacao()
{
    ResultadoAvaliacao total;
    for (const ResultadoAvaliacao &r : resultados) {
        total.esperados += r.esperados;
        total.perfeitos += r.perfeitos;
        total.bons += r.bons;
        total.ok += r.ok;
        total.perdidos += r.perdidos;
        total.extras += r.extras;
        total.desviosMs.insert(total.desviosMs.end(), r.desviosMs.begin(), r.desviosMs.end());
    }
    double media = 0;
    double dispersao = 0;
    if (!total.desviosMs.empty()) {
        for (double d : total.desviosMs)
            media += d;
        media /= double(total.desviosMs.size());
        for (double d : total.desviosMs)
            dispersao += (d - media) * (d - media);
        dispersao = std::sqrt(dispersao / double(total.desviosMs.size()));
    }
    std::fprintf(saida,
                 "score: expected=%d hits=%d perfect=%d good=%d ok=%d misses=%d extras=%d mean_offset_ms=%.1f "
                 "spread_ms=%.1f\n",
                 total.esperados, total.perfeitos + total.bons + total.ok, total.perfeitos, total.bons, total.ok,
                 total.perdidos, total.extras, media, dispersao);
    std::fflush(saida);
}

TocadorTerminal::~TocadorTerminal()
{
    AcessoGui::instancia().registrar(nullptr);
}

bool TocadorTerminal::abrirMusica(const QString &arquivo, int bpmInicial, QString &erro)
{
    arquivoMusica = arquivo;
    SaidaMIDI &saidaMidi = SaidaMIDI::instancia();
    Sequenciador &sequenciador = Sequenciador::instancia();
    try {
        saidaMidi.reiniciarDispositivo();
        saidaMidi.reiniciarControladores();
        sequenciador.limparLoop();
        sequenciador.parar();
        // No settings object here: every track plays.
        saidaMidi.carregarArquivo(arquivo);
        sequenciador.setPlayAlong(playAlong);
        if (entradaAberta)
            EntradaMIDI::instancia().setReceptor(
                [this](uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante) {
                    receberBatida(status, dado1, dado2, instante);
                });
        andamento = sequenciador.getAndamento();
        if (bpmInicial > 0)
            sequenciador.setAndamento(bpmInicial);
        if (velocidade != 100)
            sequenciador.setFatorVelocidade(velocidade / 100.0);
        andamento = sequenciador.getAndamento();
        sequenciador.tocar();
    } catch (const ESonoMidiException &e) {
        erro = e.Message();
        return false;
    }
    return true;
}

void TocadorTerminal::exibirPosicao()
{
    const Sequenciador &sequenciador = Sequenciador::instancia();
    const GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
    const int32_t posicao = sequenciador.getPosicao();
    // The kit's replay counts from when tick 0 was due.
    if (entradaAberta && !entradaIniciada && posicao == 0) {
        entradaIniciada = true;
        EntradaMIDI::instancia().iniciar(sequenciador.getInstanteDoTick());
    }
    // The window's rule: the song has ended at the first report past its length, so a
    // report at exactly the length still lets that last tick play.
    if (posicao > gerenciador.getTotalTicks()) {
        if (playAlong && !encerrando) {
            // A hit on the last stroke may still be on its way: wait out the scoring limit.
            encerrando = true;
            Sequenciador::instancia().pausar();
            QTimer::singleShot(int((Avaliador::limiteUs + Avaliador::folgaEntregaUs) / 1000) + 50, [this] { terminar(); });
            return;
        }
        terminar();
        return;
    }
    // The report at exactly the length shows the last beat, as the window's slider clamps.
    const int32_t tempo = std::min(posicao / 64 + 1, std::max(gerenciador.getTotalTempos(), 1));
    if (velocidade != 100)
        std::fprintf(saida, "\rbeat %d of %d, %d BPM (%d %%)   ", tempo, gerenciador.getTotalTempos(), andamento, velocidade);
    else
        std::fprintf(saida, "\rbeat %d of %d, %d BPM   ", tempo, gerenciador.getTotalTempos(), andamento);
    std::fflush(saida);
}

void TocadorTerminal::exibirAndamento(int32_t valor)
{
    if (valor > 0)
        andamento = valor;
}

void TocadorTerminal::interromper()
{
    terminar();
}

void TocadorTerminal::terminar()
{
    if (terminado)
        return;
    terminado = true;
    Sequenciador::instancia().parar();
    if (entradaAberta)
        EntradaMIDI::instancia().fechar();
    SaidaMIDI &saidaMidi = SaidaMIDI::instancia();
    saidaMidi.reiniciarDispositivo();
    saidaMidi.reiniciarControladores();
    std::fprintf(saida, "\n");
    std::fflush(saida);
    if (playAlong)
        imprimirPontuacao();
    QCoreApplication::quit();
}
