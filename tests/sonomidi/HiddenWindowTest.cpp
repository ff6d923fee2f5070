#include "platform/HiddenWindow.h"

#include "AmbienteSnMidi.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <stdexcept>
#include <thread>
#include <vector>

namespace {
void postar(HiddenWindow &janela, uint32_t mensagem, uintptr_t w, intptr_t l = 0)
{
    SnMidiWindow *sink = janela.handle();
    sink->post(sink->context, mensagem, w, l);
}
}

TEST(HiddenWindowTest, MessagesFromAnotherThreadRunOnTheGuiThreadInOrderNoneDropped)
{
    constexpr uintptr_t total = 20000;
    std::vector<uintptr_t> recebidas;
    bool foraDaThread = false;
    uint32_t ultimaMensagem = 0;
    intptr_t ultimoL = 0;
    HiddenWindow janela([&](uint32_t mensagem, uintptr_t w, intptr_t l) {
        foraDaThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        ultimaMensagem = mensagem;
        ultimoL = l;
        recebidas.push_back(w);
    });
    std::thread biblioteca([&] {
        for (uintptr_t i = 0; i < total; ++i)
            postar(janela, 0x5452, i, -7);
    });
    biblioteca.join();
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return recebidas.size() == total; }));
    EXPECT_FALSE(foraDaThread);
    EXPECT_EQ(ultimaMensagem, 0x5452u);
    EXPECT_EQ(ultimoL, -7);
    for (uintptr_t i = 0; i < total; ++i)
        ASSERT_EQ(recebidas[i], i);
}

TEST(HiddenWindowTest, ProceduresNeverOverlapEvenWhenOneRunsANestedLoop)
{
    std::vector<uintptr_t> recebidas;
    int profundidade = 0;
    int maiorProfundidade = 0;
    HiddenWindow janela([&](uint32_t, uintptr_t w, intptr_t) {
        maiorProfundidade = std::max(maiorProfundidade, ++profundidade);
        recebidas.push_back(w);
        if (w == 0)  // like a handler that opens a modal dialog
            QCoreApplication::processEvents();
        --profundidade;
    });
    for (uintptr_t i = 0; i < 5; ++i)
        postar(janela, 0x5452, i);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return recebidas.size() == 5; }));
    EXPECT_EQ(maiorProfundidade, 1);
    EXPECT_EQ(recebidas, (std::vector<uintptr_t>{0, 1, 2, 3, 4}));
}

TEST(HiddenWindowTest, QueuedMessagesAreDiscardedWithTheWindow)
{
    int chamadas = 0;
    {
        HiddenWindow janela([&](uint32_t, uintptr_t, intptr_t) { ++chamadas; });
        for (int i = 0; i < 10; ++i)
            postar(janela, 0x5452, 0);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(chamadas, 0);

    // A procedure that destroys its own window: the messages behind it go too.
    chamadas = 0;
    std::unique_ptr<HiddenWindow> propria;
    propria = std::make_unique<HiddenWindow>([&](uint32_t, uintptr_t, intptr_t) {
        ++chamadas;
        propria.reset();
    });
    for (int i = 0; i < 3; ++i)
        postar(*propria, 0x5452, 0);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return !propria; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(chamadas, 1);
}

TEST(HiddenWindowTest, AnErrorInAProcedureDoesNotStopTheMessagesBehindIt)
{
    std::vector<uintptr_t> recebidas;
    HiddenWindow janela([&](uint32_t, uintptr_t w, intptr_t) {
        recebidas.push_back(w);
        if (w == 1)
            throw std::runtime_error("handler failed");
    });
    for (uintptr_t i = 0; i < 4; ++i)
        postar(janela, 0x5452, i);
    // The program's notify() catches what escapes; here the test does.
    EXPECT_THROW(QCoreApplication::sendPostedEvents(&janela, 0), std::runtime_error);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return recebidas.size() == 4; }));
    EXPECT_EQ(recebidas, (std::vector<uintptr_t>{0, 1, 2, 3}));
}

namespace {
// Counts the events Qt delivers to an object.
class ContadorEventos : public QObject {
public:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() >= QEvent::User)
            ++entregues;
        return false;
    }
    int entregues = 0;
};
}

// The library's threads never post one Qt event per message: while the GUI thread is busy,
// messages pile up behind one wake-up, and all of them run, in order, when it comes. Past the
// ring's room (and back below it) nothing is lost or reordered either.
TEST(HiddenWindowTest, MessagesThatPileUpFollowOneWakeUp)
{
    std::vector<uintptr_t> recebidas;
    HiddenWindow janela([&](uint32_t, uintptr_t w, intptr_t) { recebidas.push_back(w); });
    ContadorEventos contador;
    janela.installEventFilter(&contador);
    std::thread relogio([&] {
        for (uintptr_t i = 0; i < 1000; ++i)
            postar(janela, 0x5452, i);
    });
    relogio.join();
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return recebidas.size() == 1000; }));
    EXPECT_EQ(contador.entregues, 1);

    std::thread muitas([&] {
        for (uintptr_t i = 1000; i < 12000; ++i)
            postar(janela, 0x5452, i);
    });
    muitas.join();
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return recebidas.size() == 12000; }));
    postar(janela, 0x5452, 12000);  // the ring is in use again
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return recebidas.size() == 12001; }));
    for (uintptr_t i = 0; i < recebidas.size(); ++i)
        ASSERT_EQ(recebidas[i], i);
}
