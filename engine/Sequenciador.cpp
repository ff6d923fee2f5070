#include "engine/Sequenciador.h"

#include "engine/AcessoConfiguracao.h"
#include "engine/AcessoGui.h"
#include "engine/EventoAndamento.h"
#include "engine/SaidaMIDI.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSync.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <ctime>

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
    andamentoMusica = bpm;
    const int32_t anterior = andamento;
    andamento = andamentoComFator(bpm);
    // Restarting a running clock costs up to a tick: a tempo event that changes
    // nothing (the song's first, after a count-in at that tempo) must not delay its tick.
    if (andamento == anterior && estaTocando())
        return;
    aplicarAndamento();
}

int32_t Sequenciador::andamentoComFator(int32_t bpmMusica) const
{
    // At its own speed a song plays exactly as written, even outside the slider's range.
    if (fatorVelocidade == 1.0)
        return bpmMusica;
    return static_cast<int32_t>(std::clamp<long long>(std::llround(bpmMusica * fatorVelocidade), 40, 240));
}

void Sequenciador::escolherAndamento(int32_t bpm)
{
    if (bpm <= 0)
        return;
    fatorVelocidade = static_cast<double>(bpm) / andamentoMusica;
    andamento = bpm;
    aplicarAndamento();
}

void Sequenciador::setFatorVelocidade(double fator)
{
    if (!(fator > 0))
        return;
    fatorVelocidade = fator;
    andamento = andamentoComFator(andamentoMusica);
    aplicarAndamento();
}

void Sequenciador::iniciarMusica()
{
    // A Standard MIDI File without a Set Tempo plays at 120, not at whatever the
    // previous song left behind.
    fatorVelocidade = 1.0;
    andamentoMusica = 120;
    andamento = 120;
    aplicarAndamento();
    AcessoGui::instancia().atualizarAndamento(andamento);
}

int32_t Sequenciador::andamentoNoTick(int32_t tick) const
{
    const Musica *musica = GerenciadorMusica::instancia().getMusica();
    int32_t valor = 120;
    if (!musica || musica->getNumTrilhas() == 0)
        return valor;
    // The import puts every tempo event into the first track, in time order.
    const Trilha *trilha = musica->getTrilha(0);
    int32_t ultimoTick = INT32_MIN;
    for (int32_t i = 0; i < trilha->getNumEventos(); ++i) {
        const auto *evento = dynamic_cast<const EventoAndamento *>(trilha->getEvento(i));
        if (evento && evento->getAndamento() > 0 && evento->getTick() <= tick && evento->getTick() >= ultimoTick) {
            ultimoTick = evento->getTick();
            valor = evento->getAndamento();
        }
    }
    return valor;
}

bool Sequenciador::iniciarContagem(int32_t tick)
{
    if (!metronomo.iniciarContagem(GerenciadorMusica::instancia().getMusica()))
        return false;
    andamentoMusica = andamentoNoTick(tick);
    andamento = andamentoComFator(andamentoMusica);
    aplicarAndamento();
    AcessoGui::instancia().atualizarAndamento(andamento);
    return true;
}

bool Sequenciador::repetirLoop()
{
    if (treinador.getLigado()) {
        fatorVelocidade = treinador.proximoFator(fatorVelocidade);
        andamento = andamentoComFator(andamentoMusica);
        aplicarAndamento();
        AcessoGui::instancia().atualizarAndamento(andamento);
    }
    return iniciarContagem(inicioLoop);
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
    if (playAlong && !avaliador.ativo())
        avaliador.iniciar();
    if (!sincronizador->IsOpen() && !abrir())
        throw ESonoMidiException(QStringLiteral("sync not open"));
    if (partidaParada) {
        partidaParada = false;
        iniciarContagem(posicao);
    }
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
    partidaParada = true;
    metronomo.cancelarContagem();
    if (avaliador.ativo()) {
        avaliador.terminar();
        avisarAvaliacao();
    }
}

void Sequenciador::setPlayAlong(bool valor)
{
    playAlong = valor;
    if (valor) {
        avaliador.iniciar();
    } else if (avaliador.ativo()) {
        avaliador.terminar();
        avisarAvaliacao();
    }
}

int64_t Sequenciador::getInstanteDoTick() const
{
    // When the beat was due, not when the GUI thread got to it: its lateness is not
    // the drummer's.
    if (const int64_t devido = sincronizador->BeatDueTime(); devido > 0)
        return devido;
    timespec agora{};  // a tick handled by hand (no beat yet): now
    clock_gettime(CLOCK_MONOTONIC, &agora);
    return int64_t(agora.tv_sec) * 1000000 + agora.tv_nsec / 1000;
}

int64_t Sequenciador::getInstanteSonoroDoTick() const
{
    // A tick handled by hand sends its notes at once.
    if (sincronizador->BeatDueTime() <= 0)
        return getInstanteDoTick();
    // A beat handled later than its latency has its notes sent at once, a little late; the
    // drummer still plays to the grid the other beats keep, so the stroke stays on it.
    int64_t latencia = 0;
    try {
        latencia = SaidaMIDI::instancia().getLatenciaSaida();
    } catch (const ESonoMidiException &) {
    }
    return sincronizador->BeatDueTime() + latencia;
}

void Sequenciador::avisarAvaliacao()
{
    AcessoGui::instancia().atualizarAvaliacao();
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
        if (!loopAtivo && treinador.getLigado()) {
            fatorVelocidade = treinador.fatorInicial();
            andamento = andamentoComFator(andamentoMusica);
            aplicarAndamento();
            AcessoGui::instancia().atualizarAndamento(andamento);
        }
        // The window moves to the loop's start now: count in before it.
        if (!loopAtivo)
            iniciarContagem(inicioLoop);
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
    // A beat posted before a stop or a pause and handled after it belongs to no
    // tick any more: it reports, shows, clicks and sends nothing, or the stopped
    // kit would light the first drum of tick 0.
    if (!sincronizador->IsRunning())
        return;
    // A count-in holds the song where it is.
    if (metronomo.emContagem()) {
        metronomo.contarTick(gerenciador.getMusica());
        return;
    }
    // A report that stopped the player (the song's end) ends the tick, so tick 0
    // lights nothing.
    if (posicao % 64 == 0) {
        AcessoGui::instancia().atualizarPosicao();
        if (!sincronizador->IsRunning())
            return;
    }
    Musica *musica = gerenciador.getMusica();
    if (!musica)
        return;
    if (sincronizador->IsRunning())
        metronomo.clicar(musica, posicao);
    AcessoConfiguracao &configuracao = AcessoConfiguracao::instancia();
    const int32_t n = musica->getNumTrilhas();
    // Only a running clock's beats are scored: a late beat after a stop is not a tick played.
    // A stroke is expected when the drummer hears the song play it, not when its beat was due.
    const bool avaliando = playAlong && avaliador.ativo() && sincronizador->IsRunning();
    const int64_t soando = avaliando ? getInstanteSonoroDoTick() : 0;
    for (int32_t i = 0; i < n; ++i) {
        if (!configuracao.canalAtivo(i))
            continue;
        eventosDoTick = musica->eventosNoTick(posicao, i);
        const bool exibida = todasTrilhas || i == trilhaExibida;
        for (EventoSequenciamento *evento : eventosDoTick) {
            const bool bateria = evento->getCanal() == 9;
            if (exibida && bateria) {
                if (auto *ligada = dynamic_cast<EventoNoteOn *>(evento))
                    configuracao.mostrarNota(static_cast<uint32_t>(ligada->getNota()));
                else if (auto *desligada = dynamic_cast<EventoNoteOff *>(evento))
                    configuracao.esconderNota(static_cast<uint32_t>(desligada->getNota()));
            }
            if (playAlong && bateria) {
                // Shown above, but the user plays the drums: a stroke to score.
                if (avaliando && exibida) {
                    if (auto *ligada = dynamic_cast<EventoNoteOn *>(evento); ligada && ligada->getVelocidade() > 0)
                        avaliador.esperar(ligada->getNota(), soando);
                }
                continue;
            }
            // A beat posted before the clock stopped sends nothing and keeps the position.
            if (!sincronizador->IsRunning()) {
                eventosDoTick.clear();
                return;
            }
            evento->executar();
        }
        eventosDoTick.clear();
    }
    const bool voltou = loopAtivo && posicao == fimLoop;
    if (voltou) {
        posicao = inicioLoop;
        // After a count-in the loop's start itself plays: the bar of clicks stands between.
        if (sincronizador->IsRunning() && repetirLoop()) {
            if (avaliando)
                avaliarTick(soando, voltou);
            return;
        }
    }
    if (sincronizador->IsRunning() && posicao < INT32_MAX)
        ++posicao;
    if (avaliando)
        avaliarTick(soando, voltou);
}

void Sequenciador::avaliarTick(int64_t soando, bool voltou)
{
    avaliador.avancar(soando);
    if (voltou)
        avaliador.fecharVolta(soando);
    if (avaliador.temNovidades())
        avisarAvaliacao();
}
