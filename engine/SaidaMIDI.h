#pragma once

#include "song/Musica.h"

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class ESonoMidiException;
class TSonoMidi;
class TSonoMidiOut;
class TSonoMidiSMF;
class TSonoMidiScore;

// The facade through which the whole program makes sound, and the import of
// Standard MIDI Files into the current song. A single instance, created on
// first use and never destroyed while the program runs. Channel arguments are
// added to the status byte unchecked; each byte sent is the low 8 bits of its value.
class SaidaMIDI {
public:
    // Throws ESonoMidiException when the driver library cannot be loaded; the
    // next call tries again.
    static SaidaMIDI &instancia();

    // Closes the open port and opens the device (0 .. GetNumDevices - 1); an
    // index outside that range opens nothing. Whether a device is open now.
    bool abrirDispositivo(int32_t indice);
    int32_t getDispositivo() const { return dispositivo; }
    bool dispositivoAberto() const;
    // The output devices' names; position i is device i.
    QStringList listarDispositivos();

    // Master volume in percent (0..100), applied to the 16 channels at once.
    void setVolumeGeral(int32_t percentual);
    int32_t getVolumeGeral() const { return volumeGeral; }
    // Sends each channel's stored volume under the master volume.
    void aplicarVolumes();
    // The channel's volume as the song last set it (controller 7), before the master.
    int32_t getVolumeCanal(int32_t canal) const { return volumes.at(static_cast<size_t>(canal & 0x0F)); }
    // Bank 0 and the program on the channel; program 128 means no change.
    void setPrograma(int32_t canal, int32_t programa);
    void notaLigada(int32_t canal, int32_t velocidade, int32_t nota);
    // A note-on that sounds as a song's notes of a beat due at devido (us of
    // CLOCK_MONOTONIC) do: at devido plus the output latency, or at once when that
    // has passed. Returns when it sounds.
    int64_t notaLigadaEm(int64_t devido, int32_t canal, int32_t velocidade, int32_t nota);
    // How long after its beat's due time a message sent while the beat is handled
    // sounds on the open device (us): the library's output latency, 0 when none is open.
    int64_t getLatenciaSaida() const;
    // A note-on of velocity 0.
    void notaDesligada(int32_t canal, int32_t nota);
    // All sound and notes off on the open port; nothing when none is open.
    void reiniciarDispositivo();
    // Reset All Controllers on the 16 channels; the stored channel volumes go back to 127.
    void reiniciarControladores();
    // Program 0 on the drum channel: the standard kit.
    void restaurarKitPadrao();
    // A channel volume (controller 7) is stored for its channel and sent under the
    // master volume; every other message goes out as it is.
    void enviarMensagem(int32_t status, int32_t dado1, int32_t dado2);

    // The largest song accepted: larger files and files of more events are
    // refused ("SMF not open", "SMF cant read") before their events are converted.
    static constexpr int64_t tamanhoMaximoArquivo = 160ll * 1024 * 1024;
    static constexpr int64_t maximoEventos = 40'000'000;

    // Reads the file and makes it the current song. Throws ESonoMidiException
    // ("SMF not open", "SMF cant read", ...) and then leaves the previous song
    // current; "midiOut not open" comes after the new song is installed.
    void carregarArquivo(const QString &nome);

    // A song read from a file but not current yet.
    struct MusicaLida {
        std::unique_ptr<Musica> musica;
        int64_t maiorTick = 0;
    };
    // How far a reading has come and whether it is to stop; written and read
    // across threads while lerMusica runs.
    struct ProgressoLeitura {
        std::atomic<int> milesimos{0};  // -1 while the library reads the score: no measure yet
        std::atomic<int64_t> lidos{0};   // records the library has read so far
        std::atomic<bool> cancelar{false};
    };
    // carregarArquivo in its three steps, so that a long reading can run off the
    // GUI thread: prepararCarga silences the device and closes the previous file
    // (GUI thread); lerMusica opens and converts the file without touching the
    // current song or the device, throwing as carregarArquivo does, and "SMF
    // cancelled" when progresso asks it to stop; instalarMusica makes the song
    // current (GUI thread).
    void prepararCarga();
    MusicaLida lerMusica(const QString &nome, ProgressoLeitura *progresso = nullptr);
    void instalarMusica(MusicaLida lida);
    // Whether an error of carregarArquivo is the reader refusing the file (not a
    // MIDI file, empty, damaged, unreadable) rather than trouble with the device.
    static bool arquivoRecusado(const ESonoMidiException &erro);
    // Gives up the open file; nothing when none is open.
    void fecharArquivo();
    // At the end of the run: gives up the file and closes the port, so the synth's
    // audio threads stop while the program is still whole. A later abrirDispositivo
    // opens again.
    void fechar();
    // Tracks of the open file; 0 when none is open.
    int32_t getNumTrilhasArquivo() const;
    // The track's name from the open file (at most 99 bytes); empty when none.
    QString nomeTrilha(int32_t indice) const;
    // The file's tempo in BPM from its next Set Tempo; -1 when there is none.
    int32_t lerAndamento();

private:
    SaidaMIDI();
    void enviarCurta(int32_t status, int32_t dado1, int32_t dado2);
    int32_t volumeSobGeral(int32_t canal) const;

    int32_t dispositivo = 0;
    std::unique_ptr<TSonoMidi> sonoMidi;
    std::unique_ptr<TSonoMidiOut> porta;
    std::unique_ptr<TSonoMidiSMF> arquivoMidi;
    std::unique_ptr<TSonoMidiScore> partitura;  // the reader's score; each load replaces it
    std::unique_ptr<TSonoMidiScore> partituraPorta;  // the empty score attached to the port
    int32_t volumeGeral = 100;
    std::array<int32_t, 16> volumes{};  // per channel, as the song set them; 127 until it does
    bool arquivoAberto = false;
    bool musicaCarregada = false;
};
