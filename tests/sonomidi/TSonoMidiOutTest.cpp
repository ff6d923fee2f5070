#include "sonomidi/TSonoMidiOut.h"

#include "AmbienteSnMidi.h"
#include "EspiaoSnMidi.h"
#include "sonomidi/TSonoMidiSync.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

using Mensagem = AmbienteSnMidi::Mensagem;

namespace {
void postar(SnMidiWindow *janela, uint32_t mensagem)
{
    janela->post(janela->context, mensagem, 0, 0);
}
}

TEST(TSonoMidiOutTest, PutResetFlushAndCloseReachTheDevice)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    const int captura = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"));
    const int recusa = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Recusa"));
    ASSERT_GE(captura, 0);
    ASSERT_GE(recusa, 0);
    TSonoMidiOut porta;
    MIDIEVENT nota = {0, 0x90, 60, 100, 0};
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { porta.Open(0, 0); }), QStringLiteral("No SonoMidi"));
    porta.SonoMidi = &ligacao;
    EspiaoSnMidi espiao(ligacao);
    EXPECT_EQ(porta.GetNumDevices(), ligacao.GetNumOutDevices());

    // Closed: every record is taken and nothing reaches the library.
    espiao.limpar();
    EXPECT_TRUE(porta.Put(&nota));
    EXPECT_TRUE(espiao.chamadas().isEmpty());
    for (auto acao : {&TSonoMidiOut::Close, &TSonoMidiOut::Reset, &TSonoMidiOut::Flush})
        EXPECT_EQ(AmbienteSnMidi::erroDe([&] { (porta.*acao)(); }), QStringLiteral("midiOut not open"));

    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0x13320));
    EXPECT_TRUE(porta.IsOpen());
    EXPECT_EQ(porta.GetDeviceName(), QStringLiteral("Captura"));
    EXPECT_EQ(espiao.chamadas("OpenMidiOut").constFirst().argumentos, (QList<qint64>{1, captura, 0, 0x13320}));
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { porta.Open(static_cast<uint16_t>(recusa), 0); }), QStringLiteral("already open"));
    EXPECT_EQ(porta.GetDeviceName(), QStringLiteral("Captura"));
    EXPECT_EQ(porta.GetDevice(), captura);

    EXPECT_TRUE(porta.Put(&nota));
    EXPECT_EQ(ambiente.capturadas(captura), (QList<Mensagem>{{0, captura, 0x90, 60, 100}}));

    porta.Reset();
    const QList<Mensagem> silencio = ambiente.capturadas(captura).mid(1);
    ASSERT_EQ(silencio.size(), 32);
    for (int canal = 0; canal < 16; ++canal) {
        EXPECT_TRUE(silencio.contains(Mensagem{0, captura, 0xB0 + canal, 120, 0})) << canal;
        EXPECT_TRUE(silencio.contains(Mensagem{0, captura, 0xB0 + canal, 123, 0})) << canal;
    }
    porta.Flush();
    EXPECT_EQ(espiao.chamadas("FlushMidiOut").size(), 1);

    // Close silences the device before releasing it.
    const SNHANDLE h = porta.GetHandle();
    espiao.limpar();
    porta.Close();
    EXPECT_EQ(espiao.nomes(), (QStringList{"ResetMidiOut", "CloseMidiOut"}));
    EXPECT_EQ(espiao.chamadas()[1].argumentos, (QList<qint64>{h}));
    EXPECT_EQ(ambiente.capturadas(captura).size(), 1 + 32 + 32);
    EXPECT_FALSE(porta.IsOpen());
    EXPECT_TRUE(porta.GetDeviceName().isEmpty());
    EXPECT_EQ(porta.GetHandle(), 0u);
}

TEST(TSonoMidiOutTest, ARefusedOpenKeepsTheDescriptionAndTheClockIsLinkedByHandle)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    const int captura = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"));
    const int recusa = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Recusa"));
    TSonoMidiOut porta;
    porta.SonoMidi = &ligacao;
    EXPECT_FALSE(porta.Open(static_cast<uint16_t>(recusa), 0x13320));
    EXPECT_FALSE(porta.IsOpen());
    EXPECT_EQ(porta.GetHandle(), 0u);
    EXPECT_EQ(porta.GetDeviceName(), QStringLiteral("Recusa"));
    EXPECT_EQ(porta.GetFlags(), 0x13320u);

    EspiaoSnMidi espiao(ligacao);
    espiao.fixar(QStringLiteral("OpenMidiOut"), 32);
    EXPECT_FALSE(porta.Open(static_cast<uint16_t>(captura), 0));
    espiao.soltar(QStringLiteral("OpenMidiOut"));

    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    ASSERT_TRUE(relogio.Open(0, 2));
    porta.Sync = &relogio;
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0));
    EXPECT_EQ(espiao.chamadas("OpenMidiOut").constLast().argumentos[2], static_cast<qint64>(relogio.GetHandle()));
    porta.Close();
    porta.Sync = nullptr;
}

TEST(TSonoMidiOutTest, BufferReadyWithoutAScoreOnlyFiresTheEvent)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    TSonoMidiOut porta;
    porta.SonoMidi = &ligacao;
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"))), 0));
    EspiaoSnMidi espiao(ligacao);
    int disparos = 0;
    porta.OutBufferReady = [&](QObject *Sender) { disparos += Sender == &porta; };
    postar(porta.GetWindow(), SNMIDI_MSG_OUT_BUFFER_READY);
    postar(porta.GetWindow(), SNMIDI_MSG_BEAT);  // not the port's: ignored
    postar(porta.GetWindow(), SNMIDI_MSG_OUT_BUFFER_READY);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return disparos == 2; }));
    EXPECT_TRUE(espiao.chamadas().isEmpty());
}

TEST(TSonoMidiOutTest, DestroyingAnOpenPortClosesIt)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    EspiaoSnMidi espiao(ligacao);
    auto porta = std::make_unique<TSonoMidiOut>();
    porta->SonoMidi = &ligacao;
    ASSERT_TRUE(porta->Open(static_cast<uint16_t>(AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"))), 0));
    postar(porta->GetWindow(), SNMIDI_MSG_OUT_BUFFER_READY);  // still queued: discarded with the port
    int disparos = 0;
    porta->OutBufferReady = [&](QObject *) { ++disparos; };
    espiao.limpar();
    porta.reset();
    EXPECT_EQ(espiao.nomes(), (QStringList{"ResetMidiOut", "CloseMidiOut"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(disparos, 0);

    // A port whose owner already cleared the binding forgets its handle quietly.
    auto orfa = std::make_unique<TSonoMidiOut>();
    orfa->SonoMidi = &ligacao;
    ASSERT_TRUE(orfa->Open(static_cast<uint16_t>(AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"))), 0));
    const SNHANDLE h = orfa->GetHandle();
    orfa->SonoMidi = nullptr;
    MIDIEVENT nota = {0, 0x90, 60, 100, 0};
    EXPECT_TRUE(orfa->Put(&nota));
    orfa.reset();
    ligacao.CloseMidiOut(h);
}

TEST(TSonoMidiOutTest, TheLatencyIsWhatTheLibraryAddsToABeatForThisPort)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    const int captura = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"));
    TSonoMidiOut porta;
    porta.SonoMidi = &ligacao;
    EXPECT_EQ(porta.GetLatency(), 0) << "closed: nothing sounds";
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0));
    EXPECT_EQ(porta.GetLatency(), 20000) << "the library's default";
    // A library that does not place the messages of a beat sends them at once.
    const auto marcar = ligacao.SetDispatchDue;
    ligacao.SetDispatchDue = nullptr;
    EXPECT_EQ(porta.GetLatency(), 0);
    ligacao.SetDispatchDue = marcar;
    porta.Close();

    // Linked to a clock, records go out on its beats, with nothing added.
    TSonoMidiSync relogio;
    relogio.SonoMidi = &ligacao;
    ASSERT_TRUE(relogio.Open(0, 2));
    porta.Sync = &relogio;
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0));
    EXPECT_EQ(porta.GetLatency(), 0);
    porta.Close();
    porta.Sync = nullptr;
}
