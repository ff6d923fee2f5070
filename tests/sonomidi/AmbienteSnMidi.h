#pragma once

#include "common/PastaTemporaria.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

class TSonoMidi;

// A fresh copy of the driver library in a test's own application folder, loaded
// with a capture file and two capture-only devices: "Captura" and "Recusa"
// (which refuses to open). The environment is set here, before the copy is
// first loaded, since the library reads it once at load.
class AmbienteSnMidi {
public:
    struct Mensagem {
        qint64 microssegundos;
        int dispositivo;
        int status;
        int data1;
        int data2;
        bool operator==(const Mensagem &outra) const
        {
            return dispositivo == outra.dispositivo && status == outra.status && data1 == outra.data1 && data2 == outra.data2;
        }
    };

    AmbienteSnMidi();

    QString biblioteca() const;
    QString arquivo(const QString &nome) const { return pasta.arquivo(nome); }
    // Every message the library has put to any device so far.
    QList<Mensagem> capturadas() const;
    // The messages put to one device, without their times.
    QList<Mensagem> capturadas(int dispositivo) const;
    // Runs the event loop until Condicao holds or the generous deadline passes;
    // returns the condition's last value.
    static bool esperar(const std::function<bool()> &Condicao, int Milissegundos = 20000);
    // The message of the ESonoMidiException that Acao raises, or an empty text.
    static QString erroDe(const std::function<void()> &Acao);
    // Index of the output device with that description, or -1.
    static int dispositivo(TSonoMidi &ligacao, const QString &descricao);

private:
    PastaTemporaria pasta;
};

// Prints a message in failures.
void PrintTo(const AmbienteSnMidi::Mensagem &mensagem, std::ostream *saida);
