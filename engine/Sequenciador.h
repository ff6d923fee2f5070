#pragma once

#include "engine/Avaliador.h"
#include "engine/Metronomo.h"
#include "engine/TreinadorAndamento.h"

#include <cstdint>
#include <memory>
#include <vector>

class EventoSequenciamento;
class QObject;
class TSonoMidi;
class TSonoMidiSync;

// The playback spine: one engine tick per beat of the sync clock. A single
// instance, created on first use and never destroyed while the program runs.
class Sequenciador {
public:
    static Sequenciador &instancia();

    // The song's own tempo (a tempo event): it plays at that tempo times the
    // speed factor, kept within 40..240 when the factor is not 1. Values of 0 or
    // less are ignored (files without a Set Tempo carry -1).
    void setAndamento(int32_t bpm);
    // The tempo in effect, what the clock runs at.
    int32_t getAndamento() const { return andamento; }
    // The tempo slider: plays at bpm now, and the speed factor becomes bpm over
    // the song's own tempo, so that later tempo events keep the song's shape.
    void escolherAndamento(int32_t bpm);
    // 1.0 plays the song at its own tempo; Stop and Play keep it, a new song starts at 1.0.
    void setFatorVelocidade(double fator);
    double getFatorVelocidade() const { return fatorVelocidade; }
    // The song's own tempo at this moment: its last tempo event, 120 before one.
    int32_t getAndamentoMusica() const { return andamentoMusica; }
    // A new song is current: its own tempo is 120 until a tempo event plays, at 100 %.
    void iniciarMusica();
    // Hands floor(937500 / andamento) microseconds per tick to the clock; a running
    // clock is stopped, given the value and started again.
    void aplicarAndamento();

    // Opens the clock if it is closed; whether it is open now.
    bool abrir();
    void fechar();
    // Starts the clock at the current tempo from the current position. Opens a
    // closed clock first; throws ESonoMidiException when it still cannot.
    void tocar();
    void pausar();
    // Pauses and rewinds to tick 0; the loop marks stay.
    void parar();
    void setPausado(bool pausado);
    bool estaTocando() const;

    int32_t getPosicao() const { return posicao; }
    void setPosicao(int32_t tick) { posicao = tick; }

    // First call marks the loop start at the position, the next ones its end
    // (and turn the loop on).
    void marcarLoop();
    void limparLoop();
    int32_t getInicioLoop() const { return inicioLoop; }
    int32_t getFimLoop() const { return fimLoop; }

    // Count-in, metronome clicks and the tempo trainer.
    Metronomo &getMetronomo() { return metronomo; }
    TreinadorAndamento &getTreinador() { return treinador; }

    // -1: every track drives the kit; else only that track.
    void setTrilhaExibida(int32_t indice);
    // Play-along: drum-channel events are shown but not sent. Turning it on starts a
    // scoring session; turning it off ends it.
    void setPlayAlong(bool valor);
    bool getPlayAlong() const { return playAlong; }

    // Play Along scoring: the withheld drum note-ons of the shown tracks are its
    // expected strokes; the window and the command-line player hand it the hits.
    Avaliador &getAvaliador() { return avaliador; }

    // The clock, for the song import (which gives it the file's resolution).
    TSonoMidiSync *getSincronizador() const { return sincronizador.get(); }

    // When the beat being handled was due (us of CLOCK_MONOTONIC); valid inside the
    // tick handler and the reports it makes.
    int64_t getInstanteDoTick() const;
    // When the notes of that beat sound: its due time plus the output's latency (the
    // library schedules them so). Play Along expects the drummer's strokes then.
    int64_t getInstanteSonoroDoTick() const;

    // The tick handler, run on every beat of the clock.
    void processarTick(QObject *Sender = nullptr);

private:
    Sequenciador();
    // Builds the binding and binds the handler; false when the library cannot be loaded.
    bool ligar();
    uint32_t valorAndamento() const;
    int32_t andamentoComFator(int32_t bpmMusica) const;
    // The song's tempo at that tick, from its tempo events up to it; 120 without one.
    int32_t andamentoNoTick(int32_t tick) const;
    // Begins a count-in before tick at the tempo the song will play there; whether it began.
    bool iniciarContagem(int32_t tick);
    // The loop wrapped: the trainer's next speed, then a count-in. Whether a count-in began.
    bool repetirLoop();
    // Tells the receiver when scoring has something to show.
    void avisarAvaliacao();
    // The scorer's part of a tick handled in Play Along: the horizon, a loop wrap, news.
    void avaliarTick(int64_t soando, bool voltou);

    std::unique_ptr<TSonoMidiSync> sincronizador;
    std::unique_ptr<TSonoMidi> sonoMidi;  // the clock's own binding; null when the library failed to load
    std::vector<EventoSequenciamento *> eventosDoTick;  // scratch; the events stay owned by their track
    int32_t resolucao = 120;
    int32_t andamento = 120;
    int32_t inicioLoop = -1;
    int32_t fimLoop = -1;
    int32_t trilhaExibida = 0;
    bool loopAtivo = false;
    int32_t posicao = 0;
    bool todasTrilhas = true;
    bool playAlong = false;
    double fatorVelocidade = 1.0;
    int32_t andamentoMusica = 120;
    bool partidaParada = true;  // stopped since the last start: the next start counts in
    Metronomo metronomo;
    TreinadorAndamento treinador;
    Avaliador avaliador;
};
