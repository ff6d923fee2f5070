#pragma once

#include <cstdint>

// The engine's only way to the per-track enabled flags and the on-screen
// instrument, both kept by the settings object. Until a source registers
// itself every track plays and no note is shown.
class AcessoConfiguracao {
public:
    // What the settings object implements. All calls come on the GUI thread,
    // from inside the sequencer's tick handler.
    class Fonte {
    public:
        virtual ~Fonte() = default;
        virtual bool canalAtivo(int32_t indice) const = 0;
        // Lights or releases a note on the instrument, when there is one.
        virtual void mostrarNota(uint32_t nota) = 0;
        virtual void esconderNota(uint32_t nota) = 0;
    };

    static AcessoConfiguracao &instancia();

    // The source is not owned; it must unregister (registrar(nullptr)) before it dies.
    void registrar(Fonte *fonte) { this->fonte = fonte; }
    Fonte *getFonte() const { return fonte; }

    bool canalAtivo(int32_t indice) const;
    void mostrarNota(uint32_t nota);
    void esconderNota(uint32_t nota);

private:
    AcessoConfiguracao() = default;

    Fonte *fonte = nullptr;  // not owned: the settings object's view for the engine
};
