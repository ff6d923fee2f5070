#include "Espera.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

bool Espera::ate(const std::function<bool()> &condicao, int milissegundos, int fatia)
{
    QDeadlineTimer prazo(milissegundos);
    while (!condicao()) {
        if (prazo.hasExpired())
            return condicao();
        QCoreApplication::processEvents(QEventLoop::AllEvents, fatia);
    }
    return true;
}

void Espera::quandoVisivel(QWidget *janela, std::function<void()> acao)
{
    QPointer<QWidget> alvo(janela);
    QTimer::singleShot(0, janela, [alvo, acao = std::move(acao)]() mutable {
        if (!alvo)
            return;
        if (!alvo->isVisible()) {
            quandoVisivel(alvo, std::move(acao));
            return;
        }
        acao();
    });
}
