#pragma once

// The tempo trainer: while the repeat loop runs, each repeat moves the speed
// by a step from a start speed towards a target speed, and stays there.
// Speeds are factors of the song's own tempo (1.0 is 100 %).
class TreinadorAndamento {
public:
    void setLigado(bool valor) { ligado = valor; }
    bool getLigado() const { return ligado; }
    // Percentages: start speed, step added at each repeat, target speed.
    void configurar(int inicioPercentual, int passoPercentual, int alvoPercentual);
    int getInicio() const { return inicio; }
    int getPasso() const { return passo; }
    int getAlvo() const { return alvo; }

    // The speed the loop's first pass plays at.
    double fatorInicial() const { return inicio / 100.0; }
    // The speed of the next pass after one at fatorAtual: one step closer to the
    // target, never past it (a target below the start slows down).
    double proximoFator(double fatorAtual) const;

private:
    bool ligado = false;
    int inicio = 70;
    int passo = 5;
    int alvo = 100;
};
