#include "platform/HiddenWindow.h"

#include "BoundedRing.h"

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

}

HiddenWindow::HiddenWindow(Procedure procedure)
    : procedure(std::move(procedure)), anel(std::make_unique<Anel>()), vivo(std::make_shared<bool>(true))
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
    // Called from library threads. The only call into Qt is the wake-up, and only when the
    // GUI thread has none coming (postEvent is thread-safe and keeps the order of events).
    auto *janela = static_cast<HiddenWindow *>(context);
    const Mensagem m{message, wParam, lParam};
    if (janela->excedendo.load(std::memory_order_acquire) || !janela->anel->push(m)) {
        std::lock_guard<std::mutex> trava(janela->travaExcedentes);
        janela->excedendo.store(true, std::memory_order_release);
        janela->excedentes.push_back(m);
    }
    if (!janela->acordada.exchange(true, std::memory_order_acq_rel))
        QCoreApplication::postEvent(janela, new QEvent(tipoMensagem()));
}

// GUI thread: takes every message posted so far, ring first, then what spilled over.
void HiddenWindow::recolher()
{
    acordada.store(false, std::memory_order_release);
    std::lock_guard<std::mutex> trava(travaExcedentes);
    Mensagem m{};
    while (anel->pop(m))
        pendentes.push_back(m);
    if (excedendo.load(std::memory_order_acquire)) {
        for (const Mensagem &e : excedentes)
            pendentes.push_back(e);
        excedentes.clear();
        excedendo.store(false, std::memory_order_release);
    }
}

bool HiddenWindow::event(QEvent *e)
{
    if (e->type() == tipoMensagem()) {
        recolher();
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
