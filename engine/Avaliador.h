#pragma once

#include "engine/ResultadoAvaliacao.h"

#include <cstdint>
#include <deque>
#include <vector>

// Scores Play Along: every hit (a key or a pad) against the drum strokes that Play
// Along withheld. Times are microseconds of CLOCK_MONOTONIC: a stroke's is when the
// song sounds its tick (the tick's due time plus the output latency), a hit's is when
// it arrived minus the calibrated latency (the drummer's and the kit's own).
//
// A hit takes the nearest unmatched stroke of its drum family within 100 ms. Strokes
// become known only when their tick is handled, so an early hit waits until no stroke
// still to come could lie nearer; the caller says how far the known strokes reach
// (avancar, once per handled tick). A stroke nobody took 100 ms after its time is a
// miss; a hit that finds no stroke is an extra.
//
// A loop repeat or the song's end closes a run; a closed run's result is handed out
// once every stroke and hit in it has been decided.
class Avaliador {
public:
    enum class Nota : uint8_t { perfeito, bom, ok, perdido, extra };

    // One decision, for the mark over the drum.
    struct Marca {
        int32_t nota = 0;  // the drum struck (the stroke's drum for a miss)
        Nota tipo = Nota::extra;
        double desvioMs = 0;  // positive when late; 0 for misses and extras
    };

    static constexpr int64_t limiteUs = 100000;
    static constexpr int64_t perfeitoUs = 25000;
    static constexpr int64_t bomUs = 60000;
    // A hit struck in time can reach the GUI thread late on a busy machine (its time is
    // right, its delivery is not): a stroke turns into a miss only this much after its
    // limit has passed.
    static constexpr int64_t folgaEntregaUs = 150000;

    // The family a note is scored in, named by its first note: 35 bass drum, 37 snare
    // and side stick, 42 hi-hat, 49 crash, 51 ride; toms and other notes by themselves.
    static int32_t familia(int32_t nota);
    // The grade of an offset inside the limit.
    static Nota nota(int64_t desvioUs);

    // Forgets everything and starts a Play Along session; until then nothing is scored.
    void iniciar();
    // A withheld stroke, expected at instante (never earlier than the strokes before it).
    void esperar(int32_t nota, int64_t instante);
    // Every stroke expected up to instante is known now.
    void avancar(int64_t instante);
    // A hit at instante (latency already taken off).
    void tocar(int32_t nota, int64_t instante);
    // The loop wrapped: strokes from now on belong to a new run; hits before
    // instante still count in the run that ends.
    void fecharVolta(int64_t instante);
    // The song ended or stopped: every stroke is known, every run closed.
    void terminar();

    // Decisions since the last call, in the order they were made.
    std::vector<Marca> retirarMarcas();
    // Whether marks or finished runs wait to be fetched.
    bool temNovidades() const { return !marcas.empty() || !prontos.empty(); }
    // Runs finished since the last call, oldest first.
    std::vector<ResultadoAvaliacao> retirarResultados();

    // The run being played so far: esperados counts only the decided strokes, so the
    // accuracy shown while playing is not dragged down by strokes still to come.
    ResultadoAvaliacao parcial() const;
    // Graded hits in a row since the last miss or extra.
    int32_t getSequencia() const { return sequencia; }
    bool ativo() const { return !terminado; }

private:
    struct Esperado {
        int32_t nota;
        int32_t familia;
        int64_t instante;
        int32_t volta;
        bool decidido = false;
    };
    struct Batida {
        int32_t nota;
        int32_t familia;
        int64_t instante;
    };
    struct Volta {
        ResultadoAvaliacao resultado;
        int32_t decididos = 0;
        int32_t pendentes = 0;  // strokes of this run not decided yet
        int64_t fim = INT64_MAX;  // hits before this belong to the run
        bool entregue = false;
    };

    void decidir();
    bool decidirBatida(const Batida &batida);
    void marcar(int32_t volta, int32_t nota, Nota tipo, int32_t familia, double desvioMs);
    int32_t voltaDoInstante(int64_t instante) const;
    static void fecharEstatisticas(ResultadoAvaliacao &resultado);

    std::deque<Esperado> esperados;  // in time order
    std::vector<Batida> batidas;     // undecided hits, in arrival order
    std::vector<Volta> voltas;       // every run of the session, oldest first
    std::vector<Marca> marcas;
    std::vector<ResultadoAvaliacao> prontos;
    int64_t horizonte = INT64_MIN;
    int32_t sequencia = 0;
    bool terminado = true;  // until iniciar
};
