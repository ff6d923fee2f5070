#include "sonomidi/TSonoMidiIn.h"

#include "AmbienteSnMidi.h"
#include "EspiaoSnMidi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
void avisarDados(TSonoMidiIn &porta)
{
    porta.GetWindow()->post(porta.GetWindow()->context, SNMIDI_MSG_MIM_DATA, 0, 0);
}

// A port on a binding whose input entry points the spy answers: 77 for the handle.
class TSonoMidiInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        porta.SonoMidi = &ligacao;
        for (const char *nome : {"OpenMidiIn", "StartMidiIn", "StopMidiIn", "CloseMidiIn"})
            espiao.fixar(QLatin1String(nome), nome == QByteArrayView("OpenMidiIn") ? 77 : 0);
    }

    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    TSonoMidiIn porta;
    EspiaoSnMidi espiao{ligacao};
};
}

// The machine has no input device, so the library's queue is played by the spy.
TEST_F(TSonoMidiInTest, DroppedRecordsCarryTheirDeltaIntoTheNextOne)
{
    for (auto acao : {&TSonoMidiIn::Stop, &TSonoMidiIn::Close})
        EXPECT_EQ(AmbienteSnMidi::erroDe([&] { (porta.*acao)(); }), QStringLiteral("midiIn not open"));
    ASSERT_TRUE(porta.Open(0, 0));
    porta.Start();

    std::vector<MIDIEVENT> oferecidos;
    bool aceitar = true;
    porta.OnMidiData = [&](LPMIDIEVENT Event, bool *pbAccept) {
        oferecidos.push_back(*Event);
        *pbAccept = aceitar;
    };

    // Active sensing is dropped before the handler sees it.
    espiao.entrada = {{7, 0xFE, 0, 0, 0}, {5, 0x90, 60, 100, 0}};
    avisarDados(porta);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return espiao.entrada.isEmpty() && oferecidos.size() == 1; }));
    EXPECT_EQ(oferecidos[0].time, 12u);
    EXPECT_EQ(oferecidos[0].data1, 60);
    EXPECT_EQ(porta.GetCarriedTime(), 0u);

    // A handler that refuses everything makes the carried time grow.
    aceitar = false;
    oferecidos.clear();
    espiao.entrada = {{3, 0x90, 1, 1, 0}, {4, 0x90, 2, 1, 0}, {5, 0x80, 1, 0, 0}};
    avisarDados(porta);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return oferecidos.size() == 3; }));
    EXPECT_EQ(oferecidos[0].time, 3u);
    EXPECT_EQ(oferecidos[1].time, 7u);
    EXPECT_EQ(oferecidos[2].time, 12u);
    EXPECT_EQ(porta.GetCarriedTime(), 12u);
    aceitar = true;
    espiao.entrada = {{1, 0xB0, 7, 90, 0}};
    avisarDados(porta);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return oferecidos.size() == 4; }));
    EXPECT_EQ(oferecidos[3].time, 13u);

    espiao.limpar();
    porta.Close();
    EXPECT_EQ(espiao.nomes(), (QStringList{"StopMidiIn", "CloseMidiIn"}));
    EXPECT_EQ(espiao.chamadas()[1].argumentos, (QList<qint64>{77}));
    EXPECT_FALSE(porta.IsOpen());
    EXPECT_TRUE(porta.GetDeviceName().isEmpty());
}

// A device that went away is announced once through OnMidiClose; the port stays open
// until its owner closes it, and StartAt falls back to StartMidiIn without the extension.
TEST_F(TSonoMidiInTest, ALostDeviceIsAnnouncedAndStartAtFallsBack)
{
    EXPECT_EQ(AmbienteSnMidi::erroDe([&] { porta.StartAt(5); }), QStringLiteral("midiIn not open"));
    ASSERT_TRUE(porta.Open(0, 0));
    ligacao.StartMidiInAt = nullptr;  // a library without the extension
    espiao.limpar();
    porta.StartAt(123456);
    EXPECT_EQ(espiao.nomes(), (QStringList{"StartMidiIn"}));

    int perdas = 0;
    porta.OnMidiClose = [&](QObject *Sender) {
        EXPECT_EQ(Sender, &porta);
        ++perdas;
    };
    porta.GetWindow()->post(porta.GetWindow()->context, SNMIDI_MSG_MIM_CLOSE, 0, 0);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return perdas == 1; }));
    EXPECT_TRUE(porta.IsOpen());
    porta.Close();
}
