#include "sonomidi/TSonoMidiSync.h"

#include "AmbienteSnMidi.h"
#include "EspiaoSnMidi.h"
#include "common/CapturaMidi.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidiOut.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <time.h>

namespace {
// Sits between the library and a component's window, counting what the library posts.
struct Contador {
    static inline std::atomic<int> postadas{0};
    static inline SnMidiPost original = nullptr;
    static void postar(void *contexto, uint32_t mensagem, uintptr_t w, intptr_t l)
    {
        if (mensagem == SNMIDI_MSG_BEAT)
            ++postadas;
        original(contexto, mensagem, w, l);
    }
    static void instalar(SnMidiWindow *janela)
    {
        postadas = 0;
        original = janela->post;
        janela->post = &Contador::postar;
    }
};

int64_t agoraMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

bool aguardarSemLaco(const std::function<bool()> &condicao)
{
    QDeadlineTimer prazo(20000);
    while (!condicao() && !prazo.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condicao();
}
}

TEST(TSonoMidiSyncTest, StateMachineAndWhatReachesTheLibrary)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    TSonoMidiSync relogio;
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { relogio.Open(0, 2); }), QStringLiteral("No SonoMidi"));
    relogio.SonoMidi = &ligacao;
    EspiaoSnMidi espiao(ligacao);

    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { relogio.Start(); }), QStringLiteral("sync not open"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { relogio.Close(); }), QStringLiteral("sync not open"));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { relogio.Stop(); }), QString());
    EXPECT_TRUE(espiao.chamadas().isEmpty());

    // Closed: tempo and resolution still go to the library, with handle 0.
    const bool aceito = relogio.SetTempo(500);
    relogio.SetResolution(96);
    ASSERT_EQ(espiao.chamadas().size(), 2);
    EXPECT_EQ(espiao.chamadas()[0].argumentos, (QList<qint64>{0, 500}));
    EXPECT_EQ(aceito, espiao.chamadas()[0].resultado == 0);
    EXPECT_EQ(espiao.chamadas()[1].argumentos, (QList<qint64>{0, 96}));

    espiao.limpar();
    ASSERT_TRUE(relogio.Open(0, 2));
    EXPECT_GT(relogio.GetHandle(), 32u);
    EXPECT_TRUE(relogio.IsOpen());
    EXPECT_FALSE(relogio.IsRunning());
    ASSERT_EQ(espiao.chamadas().size(), 1);
    EXPECT_EQ(espiao.chamadas()[0].argumentos, (QList<qint64>{0, 1, 0, 2}));
    const SNHANDLE h = relogio.GetHandle();
    EXPECT_TRUE(relogio.Open(7, 7));
    EXPECT_EQ(espiao.chamadas("OpenSync").size(), 1);
    EXPECT_EQ(relogio.GetHandle(), h);

    EXPECT_TRUE(relogio.SetTempo(1000000));
    relogio.Start();
    EXPECT_TRUE(relogio.IsRunning());
    relogio.Stop();
    EXPECT_FALSE(relogio.IsRunning());
    EXPECT_TRUE(relogio.IsOpen());
    relogio.Start();
    relogio.Close();  // straight from running to closed
    EXPECT_FALSE(relogio.IsRunning());
    EXPECT_FALSE(relogio.IsOpen());
    EXPECT_EQ(relogio.GetHandle(), 0u);
    EXPECT_EQ(espiao.nomes(), (QStringList{"OpenSync", "SetTempo", "StartSync", "StopSync", "StartSync", "CloseSync"}));
    for (const auto &chamada : espiao.chamadas().mid(1))
        EXPECT_EQ(chamada.argumentos[0], static_cast<qint64>(h)) << chamada.nome.toStdString();
}

TEST(TSonoMidiSyncTest, AnErrorCodeFromOpenSyncLeavesTheClockClosed)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    EspiaoSnMidi espiao(ligacao);
    for (qint64 codigo : {0, 1, 32}) {
        espiao.fixar(QStringLiteral("OpenSync"), codigo);
        EXPECT_FALSE(relogio.Open(0, 2)) << codigo;
        EXPECT_FALSE(relogio.IsOpen());
        EXPECT_EQ(relogio.GetHandle(), 0u);
    }
    EXPECT_EQ(espiao.chamadas("OpenSync").size(), 3);
    espiao.soltar(QStringLiteral("OpenSync"));
    EXPECT_TRUE(relogio.Open(0, 2));
}

TEST(TSonoMidiSyncTest, BeatsRunOnTheGuiThreadAndOnesPostedBeforeStopStillArrive)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    int batidas = 0;
    int depoisDoStop = 0;
    bool foraDaThread = false;
    bool outroSender = false;
    std::vector<int64_t> devidas;
    bool antesDoDevido = false;
    relogio.OnMidiBeat = [&](QObject *Sender) {
        ++batidas;
        devidas.push_back(relogio.BeatDueTime());
        antesDoDevido |= relogio.BeatDueTime() > agoraMicros();
        outroSender |= Sender != &relogio;
        foraDaThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        if (!relogio.IsRunning())
            ++depoisDoStop;
    };
    int fim = 0;
    int batidasNoFim = -1;
    relogio.OnSyncDone = [&](QObject *Sender) {
        fim += Sender == &relogio;
        batidasNoFim = batidas;
    };
    // The library keeps a copy of the sink it is given at open.
    Contador::instalar(relogio.GetWindow());
    ASSERT_TRUE(relogio.Open(0, 2));
    ASSERT_TRUE(relogio.SetTempo(2000));
    const int64_t inicio = agoraMicros();
    relogio.Start();
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return batidas >= 10; }));
    // Each beat carries its own deadline: one tempo apart on an even grid, never in the
    // future when the handler runs, however late the handler is.
    EXPECT_GE(devidas.front(), inicio + 2000);
    for (size_t i = 1; i < devidas.size(); ++i)
        EXPECT_EQ(devidas[i] - devidas[i - 1], 2000) << "beat " << i;
    EXPECT_FALSE(antesDoDevido);

    // Let beats pile up without running the loop, then stop: they are still delivered.
    const int antes = Contador::postadas;
    ASSERT_TRUE(aguardarSemLaco([&] { return Contador::postadas >= antes + 3; }));
    relogio.Stop();
    const int postadas = Contador::postadas;
    // The library announces the stop after its last beat, and order is kept.
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return fim == 1; }));
    EXPECT_EQ(batidasNoFim, postadas);
    EXPECT_EQ(batidas, postadas);
    EXPECT_GE(depoisDoStop, 3);
    EXPECT_FALSE(foraDaThread);
    EXPECT_FALSE(outroSender);
    EXPECT_EQ(Contador::postadas, postadas);  // StopSync has returned: nothing more is posted
}

TEST(TSonoMidiSyncTest, DestroyingARunningClockStopsClosesAndDropsQueuedBeats)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    EspiaoSnMidi espiao(ligacao);
    auto relogio = std::make_unique<TSonoMidiSync>();
    relogio->SonoMidi = &ligacao;
    int batidas = 0;
    relogio->OnMidiBeat = [&](QObject *) { ++batidas; };
    Contador::instalar(relogio->GetWindow());
    ASSERT_TRUE(relogio->Open(0, 2));
    relogio->SetTempo(1000);
    relogio->Start();
    ASSERT_TRUE(aguardarSemLaco([&] { return Contador::postadas >= 2; }));
    espiao.limpar();
    relogio.reset();
    EXPECT_EQ(espiao.nomes(), (QStringList{"StopSync", "CloseSync"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(batidas, 0);
}

// While OnMidiBeat runs, the library knows which beat the handler's puts belong to: they are due
// at the beat's due time plus the output latency (or go out at once when that has passed); a put
// outside the handler goes out at once.
TEST(TSonoMidiSyncTest, WhatTheBeatHandlerPutsBelongsToThatBeat)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    ASSERT_NE(ligacao.SetDispatchDue, nullptr);
    TSonoMidiOut porta;
    porta.SonoMidi = &ligacao;
    const int captura = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"));
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0x13320));
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    QList<int64_t> devidas;
    relogio.OnMidiBeat = [&](QObject *) {
        if (devidas.size() >= 5)
            return;
        devidas.append(relogio.BeatDueTime());
        MIDIEVENT nota = {0, 0x99, 37, 100, 0};
        porta.Put(&nota);
    };
    ASSERT_TRUE(relogio.Open(0, 2));
    relogio.SetTempo(5000);
    relogio.Start();
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return devidas.size() >= 5; }));
    relogio.Stop();
    MIDIEVENT fora = {0, 0x99, 38, 100, 0};
    porta.Put(&fora);

    const QString arquivo = ambiente.arquivo(QStringLiteral("captura.txt"));
    QList<CapturaMidi::Linha> linhas;
    for (const CapturaMidi::Linha &l : CapturaMidi::ler(arquivo))
        if (l.dispositivo == captura && l.status == 0x99)
            linhas.append(l);
    ASSERT_EQ(linhas.size(), 6);
    constexpr int64_t latencia = 20000;  // the library's default
    for (int i = 0; i < 5; ++i) {
        const bool noTempo = linhas[i].devido == devidas[i] + latencia;
        const bool atrasada = linhas[i].devido == linhas[i].tempo && linhas[i].tempo >= devidas[i] + latencia;
        EXPECT_TRUE(noTempo || atrasada) << "beat " << i << " due " << devidas[i] << " put " << linhas[i].tempo
                                         << " to sound " << linhas[i].devido;
    }
    EXPECT_EQ(linhas[5].devido, linhas[5].tempo);
}
