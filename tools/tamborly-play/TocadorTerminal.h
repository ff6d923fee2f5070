#pragma once

#include "engine/AcessoGui.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdio>

// The command-line player: opens a song the way the player window does and
// reports the position on one updating terminal line until the song ends.
class TocadorTerminal : public QObject, public AcessoGui::Receptor {
public:
    explicit TocadorTerminal(FILE *saida);
    ~TocadorTerminal() override;

    // Silences the device, loads the file, enables its tracks and starts playing.
    // false (with the reason in erro) when the file cannot be played.
    bool abrirMusica(const QString &arquivo, int bpmInicial, QString &erro);
    // The speed the song plays at, in percent of its own tempo (--speed), set
    // before abrirMusica; 100 by default.
    void setVelocidade(int percentual) { velocidade = percentual; }
    // Stops at once (Ctrl+C), silencing the device.
    void interromper();

    void exibirPosicao() override;
    void exibirAndamento(int32_t andamento) override;

private:
    void terminar();

    FILE *saida;
    int32_t andamento = 0;
    int velocidade = 100;
    bool terminado = false;
};
