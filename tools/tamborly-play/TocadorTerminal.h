#pragma once

#include "engine/AcessoGui.h"
#include "engine/ResultadoAvaliacao.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <vector>

class HistoricoTerminal;

// The command-line player: opens a song the way the player window does and
// reports the position on one updating terminal line until the song ends.
class TocadorTerminal : public QObject, public AcessoGui::Receptor {
public:
    explicit TocadorTerminal(FILE *saida);
    ~TocadorTerminal() override;

    // Play Along: the drum channel is withheld and the hits from the input device
    // (started when tick 0 is due) are scored, latenciaMs taken off each; a score line
    // is printed at the end. Set before abrirMusica.
    void setPlayAlong(bool valor, double latenciaMs);
    void setEntrada(bool aberta) { entradaAberta = aberta; }
    // Where each scored run is kept (none: --no-history); not owned.
    void setHistorico(HistoricoTerminal *valor) { historico = valor; }

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
    void exibirAvaliacao() override;

private:
    void terminar();
    void receberBatida(uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante);
    void imprimirPontuacao();

    FILE *saida;
    HistoricoTerminal *historico = nullptr;  // owned by main
    QString arquivoMusica;
    int32_t andamento = 0;
    int velocidade = 100;
    bool terminado = false;
    bool playAlong = false;
    int64_t latenciaUs = 0;
    bool entradaAberta = false;
    bool entradaIniciada = false;
    bool encerrando = false;  // the song has ended; late hits still count for a moment
    std::vector<ResultadoAvaliacao> resultados;
};
