#include "practice/HistoricoPratica.h"

#include <QAtomicInteger>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QStandardPaths>
#include <QVariant>

namespace {

// Each step brings the schema from version i to i + 1; a step is never changed
// once released, a new layout is a new step at the end.
const std::vector<std::vector<const char *>> migracoes = {
    {
        "CREATE TABLE execucoes ("
        " id INTEGER PRIMARY KEY,"
        " quando INTEGER NOT NULL,"          // milliseconds since 1970, UTC
        " arquivo TEXT NOT NULL,"
        " hash TEXT NOT NULL,"
        " loop_inicio INTEGER NOT NULL,"     // engine ticks, -1 for the whole song
        " loop_fim INTEGER NOT NULL,"
        " velocidade REAL NOT NULL,"
        " duracao_ms INTEGER NOT NULL,"
        " esperados INTEGER NOT NULL,"
        " perfeitos INTEGER NOT NULL,"
        " bons INTEGER NOT NULL,"
        " ok INTEGER NOT NULL,"
        " perdidos INTEGER NOT NULL,"
        " extras INTEGER NOT NULL,"
        " desvio_medio_ms REAL NOT NULL,"
        " dispersao_ms REAL NOT NULL)",
        "CREATE INDEX execucoes_por_musica ON execucoes(hash, quando)",
        "CREATE INDEX execucoes_por_data ON execucoes(quando)",
        "CREATE TABLE familias ("
        " execucao INTEGER NOT NULL REFERENCES execucoes(id) ON DELETE CASCADE,"
        " familia INTEGER NOT NULL,"
        " esperados INTEGER NOT NULL,"
        " acertos INTEGER NOT NULL,"
        " PRIMARY KEY (execucao, familia)) WITHOUT ROWID",
    },
};

// How long a writer waits for another program's transaction to end.
constexpr int esperaOcupadoMs = 5000;

// SQLite's primary result codes that mean the file is not (or no longer) a database.
constexpr int sqliteCorrupt = 11;
constexpr int sqliteCantOpen = 14;
constexpr int sqliteNotADb = 26;

QAtomicInteger<quint64> proximaConexao{0};

// Qt binds a null text as SQL NULL; an unnamed song is an empty name, not a missing one.
QString naoNulo(const QString &texto)
{
    return texto.isNull() ? QStringLiteral("") : texto;
}

bool executar(QSqlQuery &q, const QString &sql)
{
    return q.exec(sql);
}

}  // namespace

HistoricoPratica::HistoricoPratica(const QString &caminho) : caminho(caminho)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    Abertura a = abrirConexao();
    if (a == Abertura::Danificada) {
        fecharConexao();
        if (porDeLado())
            a = abrirConexao();
    }
    if (a != Abertura::Certa)
        fecharConexao();
}

HistoricoPratica::~HistoricoPratica()
{
    fecharConexao();
}

QString HistoricoPratica::caminhoPadrao()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tamborly/practice.sqlite");
}

QString HistoricoPratica::hashArquivo(const QString &caminhoArquivo)
{
    QFile f(caminhoArquivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f))
        return {};
    return QString::fromLatin1(h.result().toHex());
}

int HistoricoPratica::versaoEsquema()
{
    return static_cast<int>(migracoes.size());
}

HistoricoPratica::Abertura HistoricoPratica::falha(const QSqlError &e, const QString &onde)
{
    erro = onde + QStringLiteral(": ") + e.text();
    const int codigo = e.nativeErrorCode().toInt() & 0xff;
    if (codigo == sqliteCorrupt || codigo == sqliteNotADb || (codigo == sqliteCantOpen && QFileInfo::exists(caminho)))
        return Abertura::Danificada;
    return Abertura::Falhou;
}

HistoricoPratica::Abertura HistoricoPratica::maisNova(int versao)
{
    erro = QStringLiteral("the practice history %1 has schema version %2, from a newer Tamborly; this one knows up to %3")
               .arg(caminho).arg(versao).arg(versaoEsquema());
    return Abertura::Falhou;
}

HistoricoPratica::Abertura HistoricoPratica::abrirConexao()
{
    conexao = QStringLiteral("tamborly-historico-%1").arg(proximaConexao.fetchAndAddRelaxed(1));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexao);
    if (!db.isValid()) {
        erro = QStringLiteral("the Qt SQLite driver is missing (install libqt6sql6-sqlite)");
        return Abertura::Falhou;
    }
    db.setDatabaseName(caminho);
    if (!db.open())
        return falha(db.lastError(), QStringLiteral("open"));
    QSqlQuery q(db);
    // The busy timeout comes first, so that every later statement waits for
    // another program's transaction instead of failing at once.
    if (!executar(q, QStringLiteral("PRAGMA busy_timeout = %1").arg(esperaOcupadoMs)))
        return falha(q.lastError(), QStringLiteral("busy_timeout"));
    // A readable header is checked before anything writes to the file.
    if (!executar(q, QStringLiteral("PRAGMA quick_check")) || !q.next())
        return falha(q.lastError(), QStringLiteral("quick_check"));
    if (q.value(0).toString() != QLatin1String("ok")) {
        erro = QStringLiteral("quick_check: ") + q.value(0).toString();
        return Abertura::Danificada;
    }
    // A file from a newer Tamborly is left exactly as it is, journal mode included.
    if (!executar(q, QStringLiteral("PRAGMA user_version")) || !q.next())
        return falha(q.lastError(), QStringLiteral("user_version"));
    if (q.value(0).toInt() > versaoEsquema())
        return maisNova(q.value(0).toInt());
    // WAL lets the progress view read while another program writes; NORMAL
    // synchronisation keeps every committed run through a crash of the program
    // and skips the flush to disk at each commit.
    if (!executar(q, QStringLiteral("PRAGMA journal_mode = WAL")))
        return falha(q.lastError(), QStringLiteral("journal_mode"));
    if (!executar(q, QStringLiteral("PRAGMA synchronous = NORMAL")) ||
        !executar(q, QStringLiteral("PRAGMA foreign_keys = ON")))
        return falha(q.lastError(), QStringLiteral("pragma"));
    q.finish();
    return migrar(db);
}

HistoricoPratica::Abertura HistoricoPratica::migrar(QSqlDatabase &db)
{
    QSqlQuery q(db);
    // IMMEDIATE takes the write lock first, so two programs starting at once
    // upgrade the file one after the other, the second finding it done.
    if (!executar(q, QStringLiteral("BEGIN IMMEDIATE")))
        return falha(q.lastError(), QStringLiteral("begin"));
    if (!executar(q, QStringLiteral("PRAGMA user_version")) || !q.next()) {
        const Abertura a = falha(q.lastError(), QStringLiteral("user_version"));
        executar(q, QStringLiteral("ROLLBACK"));
        return a;
    }
    const int versao = q.value(0).toInt();
    if (versao > versaoEsquema()) {
        executar(q, QStringLiteral("ROLLBACK"));
        return maisNova(versao);
    }
    for (int v = versao; v < versaoEsquema(); ++v) {
        for (const char *sql : migracoes[v]) {
            if (!executar(q, QString::fromLatin1(sql))) {
                const Abertura a = falha(q.lastError(), QStringLiteral("migration to version %1").arg(v + 1));
                executar(q, QStringLiteral("ROLLBACK"));
                return a;
            }
        }
    }
    if (versao < versaoEsquema() &&
        !executar(q, QStringLiteral("PRAGMA user_version = %1").arg(versaoEsquema()))) {
        const Abertura a = falha(q.lastError(), QStringLiteral("user_version"));
        executar(q, QStringLiteral("ROLLBACK"));
        return a;
    }
    if (!executar(q, QStringLiteral("COMMIT"))) {
        const Abertura a = falha(q.lastError(), QStringLiteral("commit"));
        executar(q, QStringLiteral("ROLLBACK"));
        return a;
    }
    return Abertura::Certa;
}

void HistoricoPratica::fecharConexao()
{
    if (conexao.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(conexao, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(conexao);
    conexao.clear();
}

bool HistoricoPratica::porDeLado()
{
    const QFileInfo info(caminho);
    const QString base = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                         QStringLiteral("-damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString destino = base + QLatin1Char('.') + info.suffix();
    for (int n = 2; QFileInfo::exists(destino); ++n)
        destino = base + QStringLiteral("-%1.").arg(n) + info.suffix();
    if (!QFile::rename(caminho, destino)) {
        erro += QStringLiteral("; cannot move %1 aside").arg(caminho);
        return false;
    }
    // The log and index belong to the damaged file: they go with it, or are dropped.
    for (const char *extra : {"-wal", "-shm"}) {
        const QString de = caminho + QLatin1String(extra);
        if (QFileInfo::exists(de) && !QFile::rename(de, destino + QLatin1String(extra)))
            QFile::remove(de);
    }
    arquivoDanificado = destino;
    return true;
}

bool HistoricoPratica::salvar(ExecucaoPratica &e)
{
    if (!vale(e.resultado)) {
        erro.clear();
        return false;
    }
    if (!aberto()) {
        erro = QStringLiteral("the practice history %1 is not open").arg(caminho);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(conexao, false);
    QSqlQuery q(db);
    if (!executar(q, QStringLiteral("BEGIN IMMEDIATE"))) {
        falha(q.lastError(), QStringLiteral("begin"));
        return false;
    }
    auto desfazer = [&](const QString &onde) {
        falha(q.lastError(), onde);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    const ResultadoAvaliacao &r = e.resultado;
    q.prepare(QStringLiteral(
        "INSERT INTO execucoes (quando, arquivo, hash, loop_inicio, loop_fim, velocidade, duracao_ms,"
        " esperados, perfeitos, bons, ok, perdidos, extras, desvio_medio_ms, dispersao_ms)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QDateTime quando = e.quando.isValid() ? e.quando : QDateTime::currentDateTimeUtc();
    for (const QVariant &v : {QVariant(quando.toMSecsSinceEpoch()), QVariant(naoNulo(e.arquivo)), QVariant(naoNulo(e.hash)),
                              QVariant(e.temLoop() ? e.loopInicio : -1), QVariant(e.temLoop() ? e.loopFim : -1),
                              QVariant(e.velocidade), QVariant(e.duracaoMs), QVariant(r.esperados),
                              QVariant(r.perfeitos), QVariant(r.bons), QVariant(r.ok), QVariant(r.perdidos),
                              QVariant(r.extras), QVariant(r.desvioMedioMs), QVariant(r.dispersaoMs)})
        q.addBindValue(v);
    if (!q.exec())
        return desfazer(QStringLiteral("insert run"));
    const qint64 id = q.lastInsertId().toLongLong();
    q.prepare(QStringLiteral("INSERT INTO familias (execucao, familia, esperados, acertos) VALUES (?, ?, ?, ?)"));
    for (const auto &[familia, f] : r.familias) {
        q.addBindValue(id);
        q.addBindValue(familia);
        q.addBindValue(f.esperados);
        q.addBindValue(f.acertos);
        if (!q.exec())
            return desfazer(QStringLiteral("insert family"));
    }
    if (!executar(q, QStringLiteral("COMMIT")))
        return desfazer(QStringLiteral("commit"));
    e.id = id;
    e.quando = quando;
    erro.clear();
    return true;
}

std::vector<ExecucaoPratica> HistoricoPratica::execucoesDaMusica(const QString &hash, int familiasDasUltimas)
{
    std::vector<ExecucaoPratica> execucoes;
    if (!aberto())
        return execucoes;
    QSqlDatabase db = QSqlDatabase::database(conexao, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // One read transaction, so the runs and their families agree while another program writes.
    executar(q, QStringLiteral("BEGIN"));
    q.prepare(QStringLiteral(
        "SELECT id, quando, arquivo, loop_inicio, loop_fim, velocidade, duracao_ms, esperados, perfeitos,"
        " bons, ok, perdidos, extras, desvio_medio_ms, dispersao_ms"
        " FROM execucoes WHERE hash = ? ORDER BY quando, id"));
    q.addBindValue(hash);
    if (!q.exec()) {
        falha(q.lastError(), QStringLiteral("read runs"));
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return execucoes;
    }
    QHash<qint64, size_t> porId;
    while (q.next()) {
        ExecucaoPratica e;
        e.id = q.value(0).toLongLong();
        e.quando = QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong(), Qt::UTC);
        e.arquivo = q.value(2).toString();
        e.hash = hash;
        e.loopInicio = q.value(3).toInt();
        e.loopFim = q.value(4).toInt();
        e.velocidade = q.value(5).toDouble();
        e.duracaoMs = q.value(6).toLongLong();
        ResultadoAvaliacao &r = e.resultado;
        r.esperados = q.value(7).toInt();
        r.perfeitos = q.value(8).toInt();
        r.bons = q.value(9).toInt();
        r.ok = q.value(10).toInt();
        r.perdidos = q.value(11).toInt();
        r.extras = q.value(12).toInt();
        r.desvioMedioMs = q.value(13).toDouble();
        r.dispersaoMs = q.value(14).toDouble();
        porId.insert(e.id, execucoes.size());
        execucoes.push_back(std::move(e));
    }
    q.prepare(QStringLiteral(
        "SELECT f.execucao, f.familia, f.esperados, f.acertos FROM familias f"
        " WHERE f.execucao IN (SELECT id FROM execucoes WHERE hash = ? ORDER BY quando DESC, id DESC LIMIT ?)"));
    q.addBindValue(hash);
    q.addBindValue(familiasDasUltimas);  // SQLite takes a negative limit as none
    if (q.exec()) {
        while (q.next()) {
            const auto i = porId.constFind(q.value(0).toLongLong());
            if (i == porId.constEnd())
                continue;  // a run written after the first query; it is not in the list
            ResultadoAvaliacao::Familia &f = execucoes[*i].resultado.familias[q.value(1).toInt()];
            f.esperados = q.value(2).toInt();
            f.acertos = q.value(3).toInt();
        }
    } else {
        falha(q.lastError(), QStringLiteral("read families"));
    }
    q.finish();
    QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    return execucoes;
}

qint64 HistoricoPratica::tempoPraticadoDesde(const QDateTime &inicio)
{
    if (!aberto())
        return 0;
    QSqlDatabase db = QSqlDatabase::database(conexao, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT COALESCE(SUM(duracao_ms), 0) FROM execucoes WHERE quando >= ?"));
    q.addBindValue(inicio.toMSecsSinceEpoch());
    if (!q.exec() || !q.next()) {
        falha(q.lastError(), QStringLiteral("practice time"));
        return 0;
    }
    return q.value(0).toLongLong();
}
