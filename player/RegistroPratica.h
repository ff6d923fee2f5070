#pragma once

#include "engine/ResultadoAvaliacao.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>

class HistoricoPratica;
class QWidget;

// The player window's side of the practice history: keeps each finished Play
// Along run once its results are on screen (never inside the tick handler),
// opens the progress view, and tells the user, once, when the history was
// damaged and set aside or cannot be written.
class RegistroPratica {
public:
    static RegistroPratica &instancia();

    // The history, opened on first use; none when it cannot be opened.
    HistoricoPratica *historico(QWidget *dono = nullptr);
    // A Play Along run is under way: its practice time counts from the first call
    // after the previous run was kept.
    void iniciarExecucao();
    // Keeps a finished run of the song in arquivoMusica (loop ticks -1 when the
    // whole song was played). Returns at once; the run is written from the event
    // loop, after what is already queued, such as the results panel's paint.
    void guardar(const ResultadoAvaliacao &resultado, const QString &arquivoMusica, int32_t loopInicio,
                 int32_t loopFim, double velocidade, QWidget *dono);
    // Shows the progress view of the song that is open (none: the view says to open one), modally.
    void mostrarProgresso(QWidget *dono);
    // The song file the player window opened last; empty before the first.
    void setMusica(const QString &arquivoMusica) { musica = arquivoMusica; }
    const QString &getMusica() const { return musica; }

    // Closes the history; the next use opens the one at caminho (empty: the user's data folder).
    void definirCaminho(const QString &caminho);
    // Runs handed to guardar and not written yet.
    int getPendentes() const { return pendentes; }

private:
    RegistroPratica();
    ~RegistroPratica();
    void salvar(const ResultadoAvaliacao &resultado, const QString &arquivoMusica, int32_t loopInicio,
                int32_t loopFim, double velocidade, qint64 duracaoMs, const QDateTime &quando, QWidget *dono);
    QString hashDaMusica(const QString &arquivoMusica);

    std::unique_ptr<HistoricoPratica> aberto;
    QString caminho;
    QString musica;
    bool abertoUmaVez = false;  // opening (and its message) is tried once per history
    bool falhaAvisada = false;
    int pendentes = 0;
    QElapsedTimer desdeInicio;
    // The last song's hash, kept while its file is unchanged: hashing a large file at every loop repeat would be waste.
    QString hashArquivo;
    QString hashDe;
    qint64 hashTamanho = -1;
    QDateTime hashModificado;
};
