#include "TocadorTerminal.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "settings/ArquivoConfiguracao.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"

#include <QCoreApplication>

#include <algorithm>

TocadorTerminal::TocadorTerminal(FILE *saida) : saida(saida)
{
    AcessoGui::instancia().registrar(this);
}

TocadorTerminal::~TocadorTerminal()
{
    AcessoGui::instancia().registrar(nullptr);
}

bool TocadorTerminal::abrirMusica(const QString &arquivo, int bpmInicial, QString &erro)
{
    SaidaMIDI &saidaMidi = SaidaMIDI::instancia();
    Sequenciador &sequenciador = Sequenciador::instancia();
    try {
        saidaMidi.reiniciarDispositivo();
        saidaMidi.reiniciarControladores();
        sequenciador.limparLoop();
        sequenciador.parar();
        saidaMidi.carregarArquivo(arquivo);
        const int32_t trilhas = std::min<int32_t>(saidaMidi.getNumTrilhasArquivo(), 16);
        for (int32_t i = 0; i < trilhas; ++i)
            ArquivoConfiguracao::instancia().setCanalAtivo(true, i);
        sequenciador.setPlayAlong(false);
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
    // The window's rule: the song has ended at the first report past its length, so a
    // report at exactly the length still lets that last tick play.
    if (posicao > gerenciador.getTotalTicks()) {
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
    SaidaMIDI &saidaMidi = SaidaMIDI::instancia();
    saidaMidi.reiniciarDispositivo();
    saidaMidi.reiniciarControladores();
    std::fprintf(saida, "\n");
    std::fflush(saida);
    QCoreApplication::quit();
}
