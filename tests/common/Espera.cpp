#include "Espera.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

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
