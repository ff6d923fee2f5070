#pragma once

#include "common/CapturaMidi.h"
#include "common/InstrumentoGravador.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TFormPrincipal;
class TFormSetup;
class TformAssistenteConfiguracaoDriver;

// The engine, settings and language singletons load the driver library once per
// process, so a window suite shares one application folder (with the shipped
// languages), one capture file and the capture-only devices "Captura",
// "Captura2" and "Recusa" (refuses to open). preparar() puts the singletons back
// in a known state before each test.
class AmbienteJanela {
public:
    using Mensagem = CapturaMidi::Linha;

    // English current, message boxes recorded (questions answered Yes), no song,
    // the sequencer stopped at 120 BPM, every flag set, "Captura" open and stored.
    static void preparar();
    static QString pasta();
    static QString arquivo(const QString &nome);
    static int dispositivo(const QString &nome);

    static qint64 marca();
    // The messages put after the mark, to one device (-1: every device).
    static QList<Mensagem> desde(qint64 marca, int dispositivo);
    // The note-ons (status 0x90..0x9F, velocity > 0) among them, as "status nota velocidade".
    static QStringList notas(qint64 marca, int dispositivo);

    static bool esperar(const std::function<bool()> &condicao, int milissegundos = 30000);

    static QString texto(const char *secao, const char *chave);
    // The texts of the message boxes recorded so far.
    static QStringList mensagens();
};

// The player window with the setup dialog and the wizard it uses, as start-up
// builds them (the dialogs belong to the window).
struct Janelas {
    Janelas();
    ~Janelas();
    std::unique_ptr<TFormPrincipal> principal;
    TFormSetup *setup;
    TformAssistenteConfiguracaoDriver *assistente;
};

// A Standard MIDI File built byte by byte: events at absolute ticks, per track.
class ArquivoMidiTeste {
public:
    explicit ArquivoMidiTeste(uint16_t resolucao = 64) : resolucao(resolucao) {}
    // Adds a track and returns its index; an empty name writes no name event.
    int trilha(const QByteArray &nome = QByteArray());
    void evento(int trilha, uint32_t tick, uint8_t status, uint8_t dado1, uint8_t dado2);
    // A note-on and, duracao ticks later, its release (a note-on of velocity 0).
    void nota(int trilha, uint32_t tick, uint8_t canal, uint8_t nota, uint32_t duracao = 4);
    void andamento(int trilha, uint32_t tick, uint32_t microssegundosPorSeminima);
    QByteArray bytes() const;
    bool gravar(const QString &caminho) const;

private:
    struct Evento {
        uint32_t tick;
        int ordem;
        QByteArray dados;  // status and data bytes, or FF type length data
    };
    uint16_t resolucao;
    std::vector<std::vector<Evento>> trilhas;
    int contador = 0;
};
