#include "platform/HiddenWindow.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
QEvent::Type tipoMensagem()
{
    static const QEvent::Type tipo = static_cast<QEvent::Type>(QEvent::registerEventType());
    return tipo;
}

QEvent::Type tipoRetomada()
{
    static const QEvent::Type tipo = static_cast<QEvent::Type>(QEvent::registerEventType());
    return tipo;
}

class EventoMensagem : public QEvent {
public:
    EventoMensagem(uint32_t message, uintptr_t wParam, intptr_t lParam)
        : QEvent(tipoMensagem()), message(message), wParam(wParam), lParam(lParam)
    {
    }
    const uint32_t message;
    const uintptr_t wParam;
    const intptr_t lParam;
};
}

HiddenWindow::HiddenWindow(Procedure procedure)
    : procedure(std::move(procedure)), vivo(std::make_shared<bool>(true))
{
    sink.post = &HiddenWindow::postar;
    sink.context = this;
    tipoMensagem();  // registered here, on the GUI thread, before any library thread posts
}

HiddenWindow::~HiddenWindow()
{
    *vivo = false;
    // ~QObject removes the events still posted to this object.
}

void HiddenWindow::defaultProcedure(uint32_t, uintptr_t, intptr_t)
{
}

void HiddenWindow::postar(void *context, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    // Called from library threads: postEvent is thread-safe and keeps the order of
    // the events posted from one thread to one receiver.
    QCoreApplication::postEvent(static_cast<HiddenWindow *>(context), new EventoMensagem(message, wParam, lParam));
}

bool HiddenWindow::event(QEvent *e)
{
    if (e->type() == tipoMensagem()) {
        const auto *evento = static_cast<EventoMensagem *>(e);
        pendentes.push_back({evento->message, evento->wParam, evento->lParam});
    } else if (e->type() != tipoRetomada()) {
        return QObject::event(e);
    }
    if (!despachando)
        drenar();
    return true;
}

void HiddenWindow::drenar()
{
    // The procedure may destroy the component, and this object with it.
    const std::shared_ptr<bool> aindaVivo = vivo;
    despachando = true;
    while (!pendentes.empty()) {
        const Mensagem atual = pendentes.front();
        pendentes.pop_front();
        try {
            if (procedure)
                procedure(atual.message, atual.wParam, atual.lParam);
        } catch (...) {
            // The application's last net catches it; the messages behind it still
            // run, in order, from the event loop.
            if (*aindaVivo) {
                despachando = false;
                if (!pendentes.empty())
                    QCoreApplication::postEvent(this, new QEvent(tipoRetomada()));
            }
            throw;
        }
        if (!*aindaVivo)
            return;
    }
    despachando = false;
}
