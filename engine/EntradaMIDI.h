#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class TSonoMidi;
class TSonoMidiIn;

// The drum kit the user plays: one MIDI input device, chosen by name, through the
// toolkit's input port. A single instance, created on first use and never destroyed
// while the program runs. Every note-on of velocity above 0, on any channel, is a hit;
// the hi-hat foot controller (controller 4) is passed on for the kit's look.
class EntradaMIDI {
public:
    // One message from the kit; instante is its arrival in microseconds of CLOCK_MONOTONIC.
    using Receptor = std::function<void(uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante)>;

    // Throws ESonoMidiException when the driver library cannot be loaded; the next
    // call tries again.
    static EntradaMIDI &instancia();

    // The input devices' names, refreshed on every call.
    QStringList listarDispositivos();
    // Closes the open device and opens the one of that name (the first, when two share
    // it) and starts it; an empty name opens nothing. Whether a device is open now.
    bool abrirDispositivo(const QString &nome);
    // Opens without starting: iniciar starts it, counting a replay device's times
    // from inicio (us of CLOCK_MONOTONIC).
    bool abrirSemIniciar(const QString &nome);
    void iniciar(int64_t inicio);
    // Stops and starts again from inicio: a replay device plays its file anew from there.
    void reiniciar(int64_t inicio);
    void fechar();
    bool dispositivoAberto() const;
    QString getNome() const { return nome; }

    // Who hears the kit (GUI thread); an unset receiver drops the messages.
    void setReceptor(Receptor receptor) { this->receptor = std::move(receptor); }
    Receptor getReceptor() const { return receptor; }
    // Called once when the open device goes away (unplugged); it is closed by then.
    void setAoPerder(std::function<void()> aoPerder) { this->aoPerder = std::move(aoPerder); }

    // The full CLOCK_MONOTONIC time of a record's 32-bit stamp: the latest such time
    // not after agora.
    static int64_t instanteDoRegistro(uint32_t carimbo, int64_t agora);
    static int64_t agora();

private:
    EntradaMIDI();
    ~EntradaMIDI();

    std::unique_ptr<TSonoMidi> sonoMidi;
    std::unique_ptr<TSonoMidiIn> porta;
    QString nome;
    Receptor receptor;
    std::function<void()> aoPerder;
};
