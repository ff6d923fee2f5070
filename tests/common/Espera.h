#pragma once

#include <functional>

class QWidget;

// Waits in the tests: never a fixed sleep, always a condition and a generous deadline.
class Espera {
public:
    // Runs the event loop in slices of fatia milliseconds until the condition holds or
    // the deadline passes; returns the condition's last value.
    static bool ate(const std::function<bool()> &condicao, int milissegundos, int fatia = 5);
    // Runs acao from the event loop once janela is visible, e.g. inside its exec().
    static void quandoVisivel(QWidget *janela, std::function<void()> acao);
};
