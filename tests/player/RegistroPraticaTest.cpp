#include "common/Espera.h"
#include "common/PastaTemporaria.h"
#include "platform/CaixaMensagem.h"
#include "player/RegistroPratica.h"
#include "practice/HistoricoPratica.h"
#include "settings/GerenciadorIdiomas.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RegistroPraticaTest : public testing::Test {
protected:
    void SetUp() override
    {
        pasta = std::make_unique<PastaTemporaria>(QStringList{QStringLiteral("English.idm"), QStringLiteral("English.dat")});
        GerenciadorIdiomas::descartarInstancia();
        ASSERT_NE(GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("English")), nullptr);
        CaixaMensagem::gravar(true);
        CaixaMensagem::limparRegistros();
        musica = pasta->arquivo(QStringLiteral("groove.mid"));
        escrever(musica, QByteArray(500, 'g'));
        caminho = pasta->arquivo(QStringLiteral("data/practice.sqlite"));
        RegistroPratica::instancia().definirCaminho(caminho);
    }
    void TearDown() override
    {
        RegistroPratica::instancia().definirCaminho(QString());
        CaixaMensagem::gravar(false);
        GerenciadorIdiomas::descartarInstancia();
        pasta.reset();
    }

    static void escrever(const QString &arquivo, const QByteArray &dados)
    {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(dados);
    }

    static ResultadoAvaliacao resultado(int esperados, int perfeitos)
    {
        ResultadoAvaliacao r;
        r.esperados = esperados;
        r.perfeitos = perfeitos;
        r.perdidos = esperados - perfeitos;
        r.desviosMs.assign(perfeitos, 4.0);
        r.familias[42] = {esperados, perfeitos};
        return r;
    }

    static bool escrito() { return RegistroPratica::instancia().getPendentes() == 0; }

    std::unique_ptr<PastaTemporaria> pasta;
    QString musica;
    QString caminho;
};

}  // namespace

TEST_F(RegistroPraticaTest, KeepsEachRunFromTheEventLoopNotFromTheCaller)
{
    RegistroPratica &registro = RegistroPratica::instancia();
    registro.iniciarExecucao();
    registro.guardar(resultado(16, 12), musica, 256, 768, 0.9, nullptr);
    registro.guardar(resultado(16, 14), musica, -1, -1, 1.0, nullptr);
    registro.guardar(resultado(HistoricoPratica::minimoEsperados - 1, 7), musica, -1, -1, 1.0, nullptr);
    // Nothing written yet: the caller (the tick handler's news) returns at once.
    EXPECT_EQ(registro.getPendentes(), 2);
    EXPECT_FALSE(QFile::exists(caminho));
    ASSERT_TRUE(Espera::ate(escrito, 30000));

    HistoricoPratica h(caminho);
    const auto lidas = h.execucoesDaMusica(HistoricoPratica::hashArquivo(musica));
    ASSERT_EQ(lidas.size(), 2u);
    EXPECT_EQ(lidas[0].arquivo, QStringLiteral("groove.mid"));
    EXPECT_EQ(lidas[0].loopInicio, 256);
    EXPECT_EQ(lidas[0].loopFim, 768);
    EXPECT_DOUBLE_EQ(lidas[0].velocidade, 0.9);
    EXPECT_EQ(lidas[0].resultado.perfeitos, 12);
    EXPECT_EQ(lidas[0].resultado.familias.at(42).acertos, 12);
    EXPECT_FALSE(lidas[1].temLoop());
    // The second run had no start of its own: the time between runs is not practice.
    EXPECT_EQ(lidas[1].duracaoMs, 0);
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
}

TEST_F(RegistroPraticaTest, ADamagedHistoryIsReportedOnceWithWhereItWent)
{
    QDir().mkpath(pasta->arquivo(QStringLiteral("data")));
    escrever(caminho, QByteArray(4096, 'x'));
    RegistroPratica &registro = RegistroPratica::instancia();
    registro.guardar(resultado(8, 8), musica, -1, -1, 1.0, nullptr);
    registro.guardar(resultado(8, 8), musica, -1, -1, 1.0, nullptr);
    ASSERT_TRUE(Espera::ate(escrito, 30000));
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_TRUE(CaixaMensagem::registros()[0].texto.contains(QStringLiteral("practice-damaged-")))
        << qPrintable(CaixaMensagem::registros()[0].texto);
    EXPECT_TRUE(CaixaMensagem::registros()[0].texto.startsWith(QStringLiteral("The practice history could not be read.")));
    HistoricoPratica h(caminho);
    EXPECT_EQ(h.execucoesDaMusica(HistoricoPratica::hashArquivo(musica)).size(), 2u);
}

TEST_F(RegistroPraticaTest, AHistoryThatCannotBeWrittenIsReportedOnceAndNothingElseBreaks)
{
    // A file where the data folder should be.
    escrever(pasta->arquivo(QStringLiteral("data")), "not a folder");
    RegistroPratica &registro = RegistroPratica::instancia();
    for (int i = 0; i < 3; ++i)
        registro.guardar(resultado(10, 9), musica, -1, -1, 1.0, nullptr);
    ASSERT_TRUE(Espera::ate(escrito, 30000));
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_TRUE(CaixaMensagem::registros()[0].texto.startsWith(QStringLiteral("This run could not be kept")));
    EXPECT_EQ(registro.historico(), nullptr);
}
