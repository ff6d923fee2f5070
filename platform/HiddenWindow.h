#pragma once

#include "SnMidi32.h"

#include <QObject>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QEvent;
template <class T, size_t Capacity>
class BoundedRing;

// Stands in for a hidden message window: the driver library posts to handle()
// from any thread, and the messages run the owner's window procedure on the
// thread that built this object, one at a time, in the order posted, none
// dropped. Messages still queued when it is destroyed are discarded.
// A post from the library's threads (the clock's beats above all) neither locks
// nor allocates: it goes into a fixed ring, and one wake-up event is posted only
// when the GUI thread has taken everything before it, so a busy GUI thread finds
// all the beats that piled up behind a single event.
class HiddenWindow : public QObject {
public:
    using Procedure = std::function<void(uint32_t Message, uintptr_t WParam, intptr_t LParam)>;

    explicit HiddenWindow(Procedure procedure);
    ~HiddenWindow() override;

    HiddenWindow(const HiddenWindow &) = delete;
    HiddenWindow &operator=(const HiddenWindow &) = delete;

    // The sink to hand to the library as the "window".
    SnMidiWindow *handle() { return &sink; }
    // What the platform does with a message that a procedure does not handle: nothing.
    static void defaultProcedure(uint32_t Message, uintptr_t WParam, intptr_t LParam);

protected:
    bool event(QEvent *e) override;

private:
    struct Mensagem {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };

    static void postar(void *context, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void recolher();
    void drenar();

    // The lock-free ring of messages not yet taken by the GUI thread.
    using Anel = BoundedRing<Mensagem, 4096>;

    Procedure procedure;
    SnMidiWindow sink;
    // Messages not yet run. One that arrives while a procedure runs a nested event
    // loop waits here for the outer dispatch, so procedures never overlap.
    std::deque<Mensagem> pendentes;
    bool despachando = false;
    std::unique_ptr<Anel> anel;
    // A ring that fills up (the GUI thread stuck for thousands of messages) spills into this
    // list; until the GUI thread has taken it, every post goes there too, so order is kept.
    std::mutex travaExcedentes;
    std::deque<Mensagem> excedentes;
    std::atomic<bool> excedendo{false};
    std::atomic<bool> acordada{false};  // a wake-up event is on its way to the GUI thread
    std::shared_ptr<bool> vivo;
};
