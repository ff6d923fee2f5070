#pragma once

#include <cstdint>

// The engine's only way to the player window. Until a receiver registers
// itself every report does nothing.
class AcessoGui {
public:
    // What the player window (or a test, or a command-line player) implements to
    // hear the engine's reports. Both calls come on the GUI thread, from inside
    // the sequencer's tick handler.
    class Receptor {
    public:
        virtual ~Receptor() = default;
        // Every 64 ticks, before the events of that tick; the position is
        // Sequenciador::getPosicao. The receiver may stop the player here.
        virtual void exibirPosicao() = 0;
        // A tempo event played; the value may lie outside 40..240 (-1: none in the file).
        virtual void exibirAndamento(int32_t andamento) = 0;
        // Play Along scoring has new marks or finished runs to fetch from
        // Sequenciador::getAvaliador (after a tick, or when playback stopped).
        virtual void exibirAvaliacao() {}
    };

    static AcessoGui &instancia();

    // The receiver is not owned; it must unregister (registrar(nullptr)) before it dies.
    void registrar(Receptor *receptor) { this->receptor = receptor; }
    Receptor *getReceptor() const { return receptor; }

    void atualizarAndamento(int32_t andamento);
    void atualizarPosicao();
    void atualizarAvaliacao();

private:
    AcessoGui() = default;

    Receptor *receptor = nullptr;  // not owned: the player window
};
