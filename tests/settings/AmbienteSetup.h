#pragma once

#include "common/CapturaMidi.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class TFormSetup;

// The output facade, the settings and the language manager are single
// instances that load the driver library once per process. So each suite gets
// one application folder, one capture file and the capture-only devices named by
// AMBIENTE_SETUP_DISPOSITIVOS (set by the suite's CMake line, "!" = refuses to
// open), and preparar() puts the singletons back in a known state before each test.
class AmbienteSetup {
public:
    using Mensagem = CapturaMidi::Linha;

    // Language "Teste" current, message boxes recorded, no song, sequencer stopped,
    // every flag set, a recording instrument, device 0 open and stored, the wizard's
    // scale at pausaEscala a note.
    static void preparar();
    // The wizard's note length in these suites: long enough to see that each note
    // sounds for it, short enough that a walk through the wizard takes no time.
    static constexpr int pausaEscala = 2;
    // The suite's folder, which also holds the shipped languages when the build made them.
    static QString pasta();

    // Index of the device of that name in SaidaMIDI::listarDispositivos, -1 when absent.
    static int dispositivo(const QString &nome);

    // Position in the capture file; the messages put after it (to one device, or to all with -1).
    static qint64 marca();
    static QList<Mensagem> desde(qint64 marca, int dispositivo = -1);
    // Without the All Sound Off and All Notes Off that a port sends as it closes.
    static QList<Mensagem> semSilencio(const QList<Mensagem> &mensagens);

    // Runs the event loop until the condition holds or a generous deadline passes.
    static bool esperar(const std::function<bool()> &condicao, int milissegundos = 30000);

    // What opening a song does to the dialog: a song of that many tracks (those
    // of bateria carry drums, each track its own channel) becomes current, boxes
    // 0 .. n-1 get the track names and are checked and enabled, the rest are
    // disabled with the empty caption, the select-all box is enabled and checked.
    static void abrirMusica(TFormSetup &setup, int trilhas, const QList<int> &bateria = {});

    // The calls the instrument received since preparar() ("limpo" for esconderTudo).
    static QStringList chamadasInstrumento();
};
