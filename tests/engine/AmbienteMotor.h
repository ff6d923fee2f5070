#pragma once

#include "common/GravadorMidi.h"
#include "common/InstrumentoGravador.h"
#include "engine/AcessoGui.h"
#include "engine/Sequenciador.h"
#include "settings/ArquivoConfiguracao.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <tuple>
#include <vector>

// The engine's singletons load the driver library once per process, so one
// application folder, one capture file and the capture-only devices "Captura"
// and "Recusa" (refuses to open) serve the whole suite. preparar() puts every
// singleton back in a known state before each test.
class AmbienteMotor {
public:
    struct Mensagem {
        int dispositivo;
        int status;
        int dado1;
        int dado2;
        bool operator==(const Mensagem &outra) const
        {
            return dispositivo == outra.dispositivo && status == outra.status && dado1 == outra.dado1 && dado2 == outra.dado2;
        }
    };

    // Output on "Captura", master volume 100 over channel volumes of 127, sequencer stopped at tick 0 at 120 BPM
    // with no loop and no play-along, every track shown and enabled, no song, no
    // receiver, a plain instrument.
    static void preparar();
    static int dispositivoCaptura();
    static int dispositivoRecusa();
    // The application folder of the suite (test files go here too).
    static QString pasta();
    static QString arquivo(const QString &nome);

    // Position in the capture file; the messages put after it, to the capture device.
    static qint64 marca();
    static QList<Mensagem> desde(qint64 marca);
    // Each message with its library timestamp in microseconds, every device.
    static std::vector<std::pair<qint64, Mensagem>> desdeComTempo(qint64 marca);

    // Runs the event loop until the condition holds or a generous deadline passes.
    static bool esperar(const std::function<bool()> &condicao, int milissegundos = 30000);

    // A message to the capture device.
    static Mensagem m(int status, int dado1, int dado2) { return {dispositivoCaptura(), status, dado1, dado2}; }
};

void PrintTo(const AmbienteMotor::Mensagem &mensagem, std::ostream *saida);
void PrintTo(const QString &texto, std::ostream *saida);

// Standard MIDI Files written through the toolkit's writer.
using RegistroTeste = GravadorMidi::Registro;
using MetaTeste = GravadorMidi::Meta;
using TrilhaTeste = GravadorMidi::Trilha;
// Records given with absolute ticks, in time order.
std::vector<RegistroTeste> emTicks(const std::vector<std::tuple<uint32_t, uint8_t, uint8_t, uint8_t>> &absolutos);
inline MetaTeste andamento(uint32_t tick, uint32_t microssegundos) { return GravadorMidi::andamento(tick, microssegundos); }
inline MetaTeste nome(const QByteArray &texto) { return GravadorMidi::nome(texto); }
bool gravarMidi(const QString &caminho, uint16_t resolucao, const std::vector<TrilhaTeste> &trilhas);

// The fixture of the engine suites: the engine as preparar() leaves it, a recording
// instrument, and a receiver of the engine's news that stands for the window; the
// sequencer stopped and the receiver gone after the test.
template <class Receptor>
class TesteMotor : public ::testing::Test {
protected:
    void SetUp() override
    {
        AmbienteMotor::preparar();
        auto novo = std::make_unique<InstrumentoGravador>();
        kit = novo.get();
        ArquivoConfiguracao::instancia().setInstrumento(std::move(novo));
        AcessoGui::instancia().registrar(&receptor);
    }
    void TearDown() override
    {
        sequenciador.parar();
        AcessoGui::instancia().registrar(nullptr);
    }

    Sequenciador &sequenciador = Sequenciador::instancia();
    Receptor receptor;
    InstrumentoGravador *kit = nullptr;
};
