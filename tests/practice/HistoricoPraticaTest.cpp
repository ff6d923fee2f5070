#include "practice/HistoricoPratica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

ExecucaoPratica execucao(const QString &hash, int esperados, int perfeitos, qint64 quandoMs = 0)
{
    ExecucaoPratica e;
    e.arquivo = hash + QStringLiteral(".mid");
    e.hash = hash;
    e.quando = quandoMs ? QDateTime::fromMSecsSinceEpoch(quandoMs, Qt::UTC) : QDateTime();
    e.duracaoMs = 60000;
    e.resultado.esperados = esperados;
    e.resultado.perfeitos = perfeitos;
    e.resultado.perdidos = esperados - perfeitos;
    e.resultado.familias[35] = {esperados / 2, perfeitos / 2};
    e.resultado.familias[42] = {esperados - esperados / 2, perfeitos - perfeitos / 2};
    return e;
}

// Reads a value straight from the file, beside the store's own connection.
QVariant consultar(const QString &caminho, const QString &sql)
{
    QVariant valor;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("teste"));
        db.setDatabaseName(caminho);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                valor = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("teste"));
    return valor;
}

QStringList danificados(const QTemporaryDir &pasta)
{
    return QDir(pasta.path()).entryList({QStringLiteral("practice-damaged-*.sqlite")}, QDir::Files);
}

void escrever(const QString &caminho, const QByteArray &dados)
{
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(dados);
}

}  // namespace

TEST(HistoricoPratica, KeepsEveryFieldOfARunAndListsASongsRunsOldestFirst)
{
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("sub/practice.sqlite"));
    {
        HistoricoPratica h(caminho);
        ASSERT_TRUE(h.aberto()) << qPrintable(h.getErro());
        ExecucaoPratica e = execucao(QStringLiteral("aaa"), 40, 20, 2000000);
        e.loopInicio = 256;
        e.loopFim = 512;
        e.velocidade = 0.75;
        e.resultado.bons = 10;
        e.resultado.ok = 5;
        e.resultado.perdidos = 5;
        e.resultado.extras = 3;
        e.resultado.desvioMedioMs = -8.5;
        e.resultado.dispersaoMs = 12.25;
        ASSERT_TRUE(h.salvar(e)) << qPrintable(h.getErro());
        EXPECT_GT(e.id, 0);
        ExecucaoPratica antes = execucao(QStringLiteral("aaa"), 10, 9, 1000000);
        ExecucaoPratica outra = execucao(QStringLiteral("bbb"), 10, 9, 1500000);
        ASSERT_TRUE(h.salvar(antes));
        ASSERT_TRUE(h.salvar(outra));
        // Too few expected strokes to say anything: not kept, and not an error.
        ExecucaoPratica curta = execucao(QStringLiteral("aaa"), HistoricoPratica::minimoEsperados - 1, 7);
        EXPECT_FALSE(h.salvar(curta));
        EXPECT_TRUE(h.getErro().isEmpty());
        EXPECT_EQ(h.tempoPraticadoDesde(QDateTime::fromMSecsSinceEpoch(1500000, Qt::UTC)), 120000);
    }
    // Read back by a new object, as the next start of the program does.
    HistoricoPratica h(caminho);
    ASSERT_TRUE(h.aberto());
    const std::vector<ExecucaoPratica> lidas = h.execucoesDaMusica(QStringLiteral("aaa"));
    ASSERT_EQ(lidas.size(), 2u);
    EXPECT_EQ(lidas[0].quando.toMSecsSinceEpoch(), 1000000);
    EXPECT_FALSE(lidas[0].temLoop());
    const ExecucaoPratica &e = lidas[1];
    EXPECT_EQ(e.quando.toMSecsSinceEpoch(), 2000000);
    EXPECT_EQ(e.arquivo, QStringLiteral("aaa.mid"));
    EXPECT_EQ(e.loopInicio, 256);
    EXPECT_EQ(e.loopFim, 512);
    EXPECT_DOUBLE_EQ(e.velocidade, 0.75);
    EXPECT_EQ(e.duracaoMs, 60000);
    const ResultadoAvaliacao &r = e.resultado;
    EXPECT_EQ(r.esperados, 40);
    EXPECT_EQ(r.perfeitos, 20);
    EXPECT_EQ(r.bons, 10);
    EXPECT_EQ(r.ok, 5);
    EXPECT_EQ(r.perdidos, 5);
    EXPECT_EQ(r.extras, 3);
    EXPECT_DOUBLE_EQ(r.desvioMedioMs, -8.5);
    EXPECT_DOUBLE_EQ(r.dispersaoMs, 12.25);
    ASSERT_EQ(r.familias.size(), 2u);
    EXPECT_EQ(r.familias.at(35).esperados, 20);
    EXPECT_EQ(r.familias.at(35).acertos, 10);
    EXPECT_EQ(r.familias.at(42).esperados, 20);
    EXPECT_TRUE(h.execucoesDaMusica(QStringLiteral("ccc")).empty());
    // The progress view reads the families of the latest runs only.
    const std::vector<ExecucaoPratica> recentes = h.execucoesDaMusica(QStringLiteral("aaa"), 1);
    ASSERT_EQ(recentes.size(), 2u);
    EXPECT_TRUE(recentes[0].resultado.familias.empty());
    EXPECT_EQ(recentes[1].resultado.familias.size(), 2u);
    EXPECT_EQ(recentes[0].resultado.perfeitos, 9);
}

TEST(HistoricoPratica, DefaultPathIsInTheUsersDataFolder)
{
    QTemporaryDir pasta;
    const QByteArray antes = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", pasta.path().toLocal8Bit());
    EXPECT_EQ(HistoricoPratica::caminhoPadrao(), pasta.path() + QStringLiteral("/tamborly/practice.sqlite"));
    {
        HistoricoPratica h;
        EXPECT_TRUE(h.aberto()) << qPrintable(h.getErro());
    }
    EXPECT_TRUE(QFileInfo::exists(pasta.path() + QStringLiteral("/tamborly/practice.sqlite")));
    qputenv("XDG_DATA_HOME", antes);
}

// Every released schema, frozen as it was written, must upgrade to the current one
// with its runs intact. Add the layout of each new version here when it is released.
TEST(HistoricoPratica, UpgradesEveryEarlierSchemaAndLeavesANewerOneAlone)
{
    struct Versao {
        int numero;
        QStringList sql;  // builds a file of that version with one run of song "v"
    };
    const std::vector<Versao> anteriores = {
        {0, {}},  // a file that exists but is empty, as a program stopped before the first schema leaves it
    };
    ASSERT_EQ(static_cast<int>(anteriores.size()), HistoricoPratica::versaoEsquema());
    for (const Versao &v : anteriores) {
        SCOPED_TRACE(v.numero);
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
        escrever(caminho, {});
        for (const QString &sql : v.sql)
            consultar(caminho, sql);
        HistoricoPratica h(caminho);
        ASSERT_TRUE(h.aberto()) << qPrintable(h.getErro());
        EXPECT_TRUE(h.getArquivoDanificado().isEmpty());
        EXPECT_EQ(consultar(caminho, QStringLiteral("PRAGMA user_version")).toInt(), HistoricoPratica::versaoEsquema());
        EXPECT_EQ(consultar(caminho, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        ExecucaoPratica e = execucao(QStringLiteral("v"), 8, 8);
        EXPECT_TRUE(h.salvar(e)) << qPrintable(h.getErro());
        EXPECT_EQ(h.execucoesDaMusica(QStringLiteral("v")).size(), v.sql.isEmpty() ? 1u : 2u);
    }

    // Written by a newer Tamborly: not upgraded, not moved aside, not written.
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
    consultar(caminho, QStringLiteral("CREATE TABLE futuro (x)"));
    consultar(caminho, QStringLiteral("PRAGMA user_version = 99"));
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray conteudo = f.readAll();
    f.close();
    {
        HistoricoPratica h(caminho);
        EXPECT_FALSE(h.aberto());
        EXPECT_TRUE(h.getErro().contains(QStringLiteral("99"))) << qPrintable(h.getErro());
        ExecucaoPratica e = execucao(QStringLiteral("v"), 8, 8);
        EXPECT_FALSE(h.salvar(e));
        EXPECT_FALSE(h.getErro().isEmpty());
    }
    EXPECT_TRUE(danificados(pasta).isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), conteudo);
}

TEST(HistoricoPratica, MovesADamagedFileAsideWithTheDateAndStartsAFreshOne)
{
    struct Caso {
        const char *nome;
        std::function<QByteArray(const QByteArray &valido)> estragar;
    };
    const std::vector<Caso> casos = {
        {"random bytes", [](const QByteArray &) {
             QByteArray lixo(64 * 1024, '\0');
             QRandomGenerator gerador(19);
             for (char &c : lixo)
                 c = static_cast<char>(gerador.bounded(256));
             return lixo;
         }},
        {"truncated", [](const QByteArray &valido) { return valido.left(valido.size() / 2); }},
        {"header only", [](const QByteArray &valido) { return valido.left(100); }},
        {"overwritten pages", [](const QByteArray &valido) {
             QByteArray b = valido;
             for (qsizetype i = 4096; i < b.size(); i += 7)
                 b[i] = static_cast<char>(0xA5);
             return b;
         }},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
        {
            HistoricoPratica h(caminho);
            for (int i = 0; i < 300; ++i) {
                ExecucaoPratica e = execucao(QStringLiteral("song"), 20, i % 20, 1000 + i);
                ASSERT_TRUE(h.salvar(e));
            }
        }
        // Closing the last connection folds the log into the file.
        ASSERT_FALSE(QFileInfo::exists(caminho + QStringLiteral("-wal")));
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray estragado = caso.estragar(f.readAll());
        f.close();
        escrever(caminho, estragado);

        HistoricoPratica h(caminho);
        ASSERT_TRUE(h.aberto()) << qPrintable(h.getErro());
        const QStringList postos = danificados(pasta);
        ASSERT_EQ(postos.size(), 1) << qPrintable(postos.join(u','));
        EXPECT_EQ(h.getArquivoDanificado(), pasta.filePath(postos[0]));
        EXPECT_TRUE(postos[0].contains(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        QFile posto(h.getArquivoDanificado());
        ASSERT_TRUE(posto.open(QIODevice::ReadOnly));
        EXPECT_EQ(posto.readAll(), estragado);  // set aside exactly as it was, for a rescue
        EXPECT_TRUE(h.execucoesDaMusica(QStringLiteral("song")).empty());
        ExecucaoPratica e = execucao(QStringLiteral("song"), 8, 8);
        EXPECT_TRUE(h.salvar(e)) << qPrintable(h.getErro());
        EXPECT_EQ(h.execucoesDaMusica(QStringLiteral("song")).size(), 1u);
    }

    // A second damaged file on the same day does not overwrite the first one set aside.
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
    for (int vez = 0; vez < 2; ++vez) {
        escrever(caminho, QByteArray(8192, 'x'));
        HistoricoPratica h(caminho);
        EXPECT_TRUE(h.aberto());
    }
    EXPECT_EQ(danificados(pasta).size(), 2);
}

TEST(HistoricoPratica, AFolderThatCannotBeWrittenFailsWithoutMovingAnything)
{
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
    escrever(pasta.filePath(QStringLiteral("tamborly")), "a file where the folder should be");
    HistoricoPratica h(pasta.filePath(QStringLiteral("tamborly/practice.sqlite")));
    EXPECT_FALSE(h.aberto());
    EXPECT_FALSE(h.getErro().isEmpty());
    EXPECT_TRUE(h.getArquivoDanificado().isEmpty());
    ExecucaoPratica e = execucao(QStringLiteral("song"), 8, 8);
    EXPECT_FALSE(h.salvar(e));
    EXPECT_TRUE(h.execucoesDaMusica(QStringLiteral("song")).empty());
}

TEST(HistoricoPratica, TwoProgramsWritingAtOnceBothSucceed)
{
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
    constexpr int porPrograma = 150;
    QProcess a, b;
    a.start(QStringLiteral(ESCRITOR_HISTORICO), {caminho, QString::number(porPrograma), QStringLiteral("a")});
    b.start(QStringLiteral(ESCRITOR_HISTORICO), {caminho, QString::number(porPrograma), QStringLiteral("b")});
    // And this program as a third writer while they run.
    {
        HistoricoPratica h(caminho);
        ASSERT_TRUE(h.aberto()) << qPrintable(h.getErro());
        for (int i = 0; i < porPrograma; ++i) {
            ExecucaoPratica e = execucao(QStringLiteral("c"), 12, 6);
            ASSERT_TRUE(h.salvar(e)) << qPrintable(h.getErro());
        }
    }
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().constData();
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().constData();
    HistoricoPratica h(caminho);
    for (const char *musica : {"a", "b", "c"}) {
        const auto lidas = h.execucoesDaMusica(QString::fromLatin1(musica));
        EXPECT_EQ(lidas.size(), static_cast<size_t>(porPrograma)) << musica;
        for (const ExecucaoPratica &e : lidas)
            EXPECT_FALSE(e.resultado.familias.empty());
    }
}

TEST(HistoricoPratica, AProgramKilledWhileWritingLosesAtMostThatRun)
{
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("practice.sqlite"));
    QProcess escritor;
    escritor.start(QStringLiteral(ESCRITOR_HISTORICO), {caminho, QStringLiteral("0"), QStringLiteral("k")});
    ASSERT_TRUE(escritor.waitForStarted(30000));
    int salvas = 0;
    QByteArray saida;
    while (salvas < 40 && escritor.state() == QProcess::Running) {
        escritor.waitForReadyRead(30000);
        saida += escritor.readAllStandardOutput();
        salvas = static_cast<int>(saida.count('\n'));
    }
    escritor.kill();  // SIGKILL, in the middle of whatever it was writing
    ASSERT_TRUE(escritor.waitForFinished(30000));
    saida += escritor.readAllStandardOutput();
    salvas = static_cast<int>(saida.count('\n'));
    ASSERT_GE(salvas, 40);

    HistoricoPratica h(caminho);
    ASSERT_TRUE(h.aberto()) << qPrintable(h.getErro());
    EXPECT_TRUE(h.getArquivoDanificado().isEmpty());
    const auto lidas = h.execucoesDaMusica(QStringLiteral("k"));
    // Every run it reported is there; the one it was writing is there whole or not at all.
    EXPECT_GE(static_cast<int>(lidas.size()), salvas);
    EXPECT_LE(static_cast<int>(lidas.size()), salvas + 1);
    for (const ExecucaoPratica &e : lidas)
        EXPECT_EQ(e.resultado.familias.size(), 3u);
    EXPECT_EQ(consultar(caminho, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

TEST(HistoricoPratica, TheContentHashFollowsACopyUnderAnotherName)
{
    QTemporaryDir pasta;
    const QString original = pasta.filePath(QStringLiteral("groove.mid"));
    escrever(original, QByteArray("MThd\0\0\0\6\0\0\0\1\0\140", 14) + QByteArray(5000, 'g'));
    const QString copia = pasta.filePath(QStringLiteral("moved/Groove (copy).mid"));
    QDir().mkpath(pasta.filePath(QStringLiteral("moved")));
    ASSERT_TRUE(QFile::copy(original, copia));
    const QString hash = HistoricoPratica::hashArquivo(original);
    EXPECT_EQ(hash.size(), 64);
    EXPECT_EQ(HistoricoPratica::hashArquivo(copia), hash);

    // One byte changed is another song.
    const QString mudado = pasta.filePath(QStringLiteral("changed.mid"));
    ASSERT_TRUE(QFile::copy(original, mudado));
    QFile f(mudado);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(100);
    f.write("h");
    f.close();
    EXPECT_NE(HistoricoPratica::hashArquivo(mudado), hash);
    EXPECT_TRUE(HistoricoPratica::hashArquivo(pasta.filePath(QStringLiteral("missing.mid"))).isEmpty());

    HistoricoPratica h(pasta.filePath(QStringLiteral("practice.sqlite")));
    ExecucaoPratica e = execucao(hash, 16, 12);
    e.arquivo = QStringLiteral("groove.mid");
    ASSERT_TRUE(h.salvar(e));
    const auto lidas = h.execucoesDaMusica(HistoricoPratica::hashArquivo(copia));
    ASSERT_EQ(lidas.size(), 1u);
    EXPECT_EQ(lidas[0].arquivo, QStringLiteral("groove.mid"));
    EXPECT_TRUE(h.execucoesDaMusica(HistoricoPratica::hashArquivo(mudado)).empty());
}
