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

}

// Fixed-size queue, any number of producers, one consumer (the GUI thread), no lock: each slot's
// sequence number says whether it is free for the position being written or ready to be read.
class HiddenWindow::Anel {
public:
    static constexpr size_t capacidade = 4096;

    Anel()
    {
        for (size_t i = 0; i < capacidade; ++i)
            casas[i].sequencia.store(i, std::memory_order_relaxed);
    }

    bool por(const Mensagem &m)
    {
        size_t posicao = fim.load(std::memory_order_relaxed);
        for (;;) {
            Casa &casa = casas[posicao % capacidade];
            const intptr_t diferenca = intptr_t(casa.sequencia.load(std::memory_order_acquire)) - intptr_t(posicao);
            if (diferenca == 0) {
                if (fim.compare_exchange_weak(posicao, posicao + 1, std::memory_order_relaxed)) {
                    casa.mensagem = m;
                    casa.sequencia.store(posicao + 1, std::memory_order_release);
                    return true;
                }
            } else if (diferenca < 0) {
                return false;
            } else {
                posicao = fim.load(std::memory_order_relaxed);
            }
        }
    }

    bool tirar(Mensagem &m)
    {
        Casa &casa = casas[inicio % capacidade];
        if (casa.sequencia.load(std::memory_order_acquire) != inicio + 1)
            return false;
        m = casa.mensagem;
        casa.sequencia.store(inicio + capacidade, std::memory_order_release);
        ++inicio;
        return true;
    }

private:
    struct Casa {
        std::atomic<size_t> sequencia{0};
        Mensagem mensagem{};
    };
    Casa casas[capacidade];
    alignas(64) std::atomic<size_t> fim{0};
    alignas(64) size_t inicio = 0;
};

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
    if (janela->excedendo.load(std::memory_order_acquire) || !janela->anel->por(m)) {
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
    while (anel->tirar(m))
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
