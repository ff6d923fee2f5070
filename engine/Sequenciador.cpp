#include "engine/Sequenciador.h"

#include "engine/AcessoGui.h"
#include "player/Instrumento.h"
#include "settings/ArquivoConfiguracao.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSync.h"

#include <climits>

namespace {
// One engine tick is 1/64 of a quarter note: 60,000,000 us / 64.
constexpr int64_t microssegundosPorTicks = 937500;
}

Sequenciador &Sequenciador::instancia()
{
    // Never destroyed: beats may still arrive while the program shuts down.
    static Sequenciador *unica = new Sequenciador;
    return *unica;
}

Sequenciador::Sequenciador() : sincronizador(std::make_unique<TSonoMidiSync>(nullptr))
{
    // The fields already hold their construction values, so a sequencer whose
    // library failed to load still has a sane tempo, position and loop.
    ligar();
}

bool Sequenciador::ligar()
{
    if (sonoMidi)
        return true;
    try {
        sonoMidi = std::make_unique<TSonoMidi>(nullptr);
    } catch (...) {
        return false;  // no library: the engine shows no messages, tocar will raise
    }
    sincronizador->SonoMidi = sonoMidi.get();
    sincronizador->OnMidiBeat = [this](QObject *Sender) { processarTick(Sender); };
    try {
        sincronizador->Open(0, 2);
    } catch (...) {
    }
    return true;
}

uint32_t Sequenciador::valorAndamento() const
{
    // 937500 / (resolucao * andamento / 120) in whole numbers: with resolucao 120
    // this is floor(937500 / andamento), the length of one tick in microseconds.
    const int64_t divisor = int64_t(resolucao) * andamento;
    if (divisor <= 0)
        return 0;
    return static_cast<uint32_t>(microssegundosPorTicks * 120 / divisor);
}

void Sequenciador::setAndamento(int32_t bpm)
{
    if (bpm <= 0)
        return;
    andamento = bpm;
    aplicarAndamento();
}

void Sequenciador::aplicarAndamento()
{
    if (!sonoMidi)
        return;
    if (sincronizador->IsRunning()) {
        sincronizador->Stop();
        sincronizador->SetTempo(valorAndamento());
        sincronizador->Start();
    } else {
        sincronizador->SetTempo(valorAndamento());
    }
}

bool Sequenciador::abrir()
{
    if (!ligar())
        return false;
    if (!sincronizador->IsOpen())
        sincronizador->Open(0, 2);
    return sincronizador->IsOpen();
}

void Sequenciador::fechar()
{
    if (sincronizador->IsOpen())
        sincronizador->Close();
}

void Sequenciador::tocar()
{
    if (sincronizador->IsRunning())
        return;
    if (!sincronizador->IsOpen() && !abrir())
        throw ESonoMidiException(QStringLiteral("sync not open"));
    sincronizador->SetTempo(valorAndamento());
    sincronizador->Start();
}

void Sequenciador::pausar()
{
    if (sincronizador->IsRunning())
        sincronizador->Stop();
}

void Sequenciador::parar()
{
    pausar();
    posicao = 0;
}

void Sequenciador::setPausado(bool pausado)
{
    if (pausado)
        pausar();
    else
        tocar();
}

bool Sequenciador::estaTocando() const
{
    return sincronizador->IsRunning();
}

void Sequenciador::marcarLoop()
{
    if (inicioLoop == -1) {
        inicioLoop = posicao;
    } else {
        fimLoop = posicao;
        loopAtivo = true;
    }
}

void Sequenciador::limparLoop()
{
    loopAtivo = false;
    fimLoop = -1;
    inicioLoop = -1;
}

void Sequenciador::setTrilhaExibida(int32_t indice)
{
    if (indice == -1) {
        todasTrilhas = true;
    } else {
        trilhaExibida = indice;
        todasTrilhas = false;
    }
}

void Sequenciador::processarTick(QObject *)
{
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
    if (!gerenciador.getMusica())
        return;
    // A late beat after a stop reports nothing; a report that stopped the
    // player (the song's end) ends the tick, so tick 0 lights nothing.
    if (posicao % 64 == 0 && sincronizador->IsRunning()) {
        AcessoGui::instancia().atualizarPosicao();
        if (!sincronizador->IsRunning())
            return;
    }
    Musica *musica = gerenciador.getMusica();
    if (!musica)
        return;
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    const int32_t n = musica->getNumTrilhas();
    for (int32_t i = 0; i < n; ++i) {
        if (!configuracao.canalAtivo(i))
            continue;
        eventosDoTick = musica->eventosNoTick(posicao, i);
        const bool exibida = todasTrilhas || i == trilhaExibida;
        for (EventoSequenciamento *evento : eventosDoTick) {
            const bool bateria = evento->getCanal() == 9;
            if (exibida && bateria) {
                if (Instrumento *instrumento = configuracao.getInstrumento()) {
                    if (auto *ligada = dynamic_cast<EventoNoteOn *>(evento))
                        instrumento->mostrarNota(static_cast<uint32_t>(ligada->getNota()));
                    else if (auto *desligada = dynamic_cast<EventoNoteOff *>(evento))
                        instrumento->esconderNota(static_cast<uint32_t>(desligada->getNota()));
                }
            }
            if (playAlong && bateria)
                continue;  // shown above, but the user plays the drums
            // A beat posted before the clock stopped sends nothing and keeps the position.
            if (!sincronizador->IsRunning()) {
                eventosDoTick.clear();
                return;
            }
            evento->executar();
        }
        eventosDoTick.clear();
    }
    if (loopAtivo && posicao == fimLoop)
        posicao = inicioLoop;
    if (sincronizador->IsRunning() && posicao < INT32_MAX)
        ++posicao;
}
