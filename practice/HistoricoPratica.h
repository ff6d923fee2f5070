#pragma once

#include "practice/ExecucaoPratica.h"

#include <QDateTime>
#include <QString>

#include <vector>

class QSqlDatabase;
class QSqlError;

// The practice history: every scored run, kept in an SQLite file in the user's
// data folder. Several programs may hold it open and write at once (the window
// and tamborly-play); each run is written in one transaction, so a program killed
// while writing loses that run and nothing else. A file that is not a database
// any more is moved aside (renamed with the date) and a fresh one started.
// One object belongs to the thread that created it.
class HistoricoPratica {
public:
    // Opens (creating or upgrading) the history at caminho.
    explicit HistoricoPratica(const QString &caminho = caminhoPadrao());
    ~HistoricoPratica();
    HistoricoPratica(const HistoricoPratica &) = delete;
    HistoricoPratica &operator=(const HistoricoPratica &) = delete;

    // $XDG_DATA_HOME/tamborly/practice.sqlite (~/.local/share/tamborly/ by default).
    static QString caminhoPadrao();
    // SHA-256 of the file's contents in hexadecimal; empty when it cannot be read.
    static QString hashArquivo(const QString &caminho);
    // A run is kept when it had at least this many expected strokes: a few strokes
    // say nothing about a drummer's progress.
    static constexpr int minimoEsperados = 8;
    static bool vale(const ResultadoAvaliacao &resultado) { return resultado.esperados >= minimoEsperados; }
    // The schema version this program writes (PRAGMA user_version).
    static int versaoEsquema();

    bool aberto() const { return !conexao.isEmpty(); }
    QString getCaminho() const { return caminho; }
    // Where a damaged history was moved when this object opened; empty when none was.
    QString getArquivoDanificado() const { return arquivoDanificado; }
    // What went wrong last (opening, saving or reading), for a developer; empty when nothing did.
    QString getErro() const { return erro; }

    // Writes the run in one transaction and sets its id; false (see getErro) when
    // it could not be written. A run that does not count (vale) is not written
    // and gives false with an empty error.
    bool salvar(ExecucaoPratica &execucao);
    // Every run of the song with this content hash, oldest first. The drum families
    // are read for the latest familiasDasUltimas runs only (-1: for all of them).
    std::vector<ExecucaoPratica> execucoesDaMusica(const QString &hash, int familiasDasUltimas = -1);
    // Practice time of all songs since the given moment, in milliseconds.
    qint64 tempoPraticadoDesde(const QDateTime &inicio);

private:
    enum class Abertura { Certa, Danificada, Falhou };

    Abertura abrirConexao();
    Abertura migrar(QSqlDatabase &db);
    Abertura falha(const QSqlError &e, const QString &onde);
    Abertura maisNova(int versao);
    void fecharConexao();
    bool porDeLado();

    QString caminho;
    QString conexao;  // name of the Qt SQL connection; empty while closed
    QString arquivoDanificado;
    QString erro;
};
