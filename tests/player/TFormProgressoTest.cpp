#include "common/PastaTemporaria.h"
#include "player/GraficoProgresso.h"
#include "player/TFormProgresso.h"
#include "practice/HistoricoPratica.h"
#include "settings/GerenciadorIdiomas.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Fresh application folder with the shipped languages, English current, and a
// history of its own with a song file on disk for each test.
class TFormProgressoTest : public testing::Test {
protected:
    void SetUp() override
    {
        pasta = std::make_unique<PastaTemporaria>(QStringList{QStringLiteral("English.idm"), QStringLiteral("English.dat"),
                                                               QStringLiteral("Portugues.idm"), QStringLiteral("Portugues.dat")});
        GerenciadorIdiomas::descartarInstancia();
        ASSERT_NE(GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("English")), nullptr);
        musica = pasta->arquivo(QStringLiteral("groove.mid"));
        QFile f(musica);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(200, 'g'));
        f.close();
        historico = std::make_unique<HistoricoPratica>(pasta->arquivo(QStringLiteral("practice.sqlite")));
        ASSERT_TRUE(historico->aberto());
    }
    void TearDown() override
    {
        historico.reset();
        GerenciadorIdiomas::descartarInstancia();
        pasta.reset();
    }

    void salvar(const QString &hash, const QDateTime &quando, int esperados, int acertos, double desvio,
                std::map<int, ResultadoAvaliacao::Familia> familias = {})
    {
        ExecucaoPratica e;
        e.quando = quando;
        e.arquivo = QStringLiteral("groove.mid");
        e.hash = hash;
        e.duracaoMs = 120000;
        e.resultado.esperados = esperados;
        e.resultado.perfeitos = acertos;
        e.resultado.perdidos = esperados - acertos;
        e.resultado.desvioMedioMs = desvio;
        e.resultado.familias = std::move(familias);
        ASSERT_TRUE(historico->salvar(e)) << qPrintable(historico->getErro());
    }

    static QString texto(const char *chave)
    {
        return GerenciadorIdiomas::instancia()
            ->obterTexto(QStringLiteral("frmProgresso"), QString::fromLatin1(chave))
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    // How many pixels of the chart are close to a colour.
    static int pixels(const QImage &imagem, const QColor &cor)
    {
        int conta = 0;
        for (int y = 0; y < imagem.height(); ++y)
            for (int x = 0; x < imagem.width(); ++x) {
                const QColor c = imagem.pixelColor(x, y);
                conta += std::abs(c.red() - cor.red()) + std::abs(c.green() - cor.green()) +
                             std::abs(c.blue() - cor.blue()) < 30;
            }
        return conta;
    }

    std::unique_ptr<PastaTemporaria> pasta;
    std::unique_ptr<HistoricoPratica> historico;
    QString musica;
    const QDateTime agora{QDate(2026, 12, 9), QTime(20, 30)};  // a Wednesday
};

}  // namespace

TEST_F(TFormProgressoTest, EmptyStatesSayHowToStart)
{
    TFormProgresso view;
    // No song open.
    view.mostrarMusica(QString(), historico.get(), agora);
    EXPECT_TRUE(view.grafico->isHidden());
    EXPECT_EQ(view.lblVazio->text(), texto("semMusica"));
    EXPECT_FALSE(view.lblVazio->text().isEmpty());

    // A song with no runs, while another song has some this week.
    salvar(QStringLiteral("other"), agora.addDays(-1), 10, 5, 0);
    view.mostrarMusica(musica, historico.get(), agora);
    EXPECT_TRUE(view.grafico->isHidden());
    EXPECT_FALSE(view.lblVazio->isHidden());
    EXPECT_EQ(view.lblVazio->text(), texto("lblVazio"));
    EXPECT_TRUE(view.lblVazio->text().contains(QStringLiteral("Play Along")));
    EXPECT_TRUE(view.lblMelhor->isHidden());
    EXPECT_EQ(view.lblSemana->text(), QStringLiteral("Practice this week: 0 min on this song, 2 min in all."));

    // A history that cannot be opened.
    view.mostrarMusica(musica, nullptr, agora);
    EXPECT_EQ(view.lblVazio->text(), texto("historicoIndisponivel"));
    EXPECT_FALSE(view.grab().isNull());
}

TEST_F(TFormProgressoTest, OneRunShowsTheChartTheBestRunTheWeekAndTheWeakDrums)
{
    const QString hash = HistoricoPratica::hashArquivo(musica);
    salvar(hash, agora.addDays(-1), 40, 35, 6.5, {{35, {10, 10}}, {42, {20, 13}}, {37, {10, 7}}, {81, {4, 3}}});
    TFormProgresso view;
    view.mostrarMusica(musica, historico.get(), agora);
    EXPECT_EQ(view.lblTitulo->text(), QStringLiteral("groove.mid: 1 scored run"));
    EXPECT_EQ(view.grafico->getNumPontos(), 1);
    EXPECT_FALSE(view.grafico->grab().isNull());
    salvar(hash, agora.addDays(-30), 8, 1, 0);  // another week
    view.mostrarMusica(musica, historico.get(), agora);
    EXPECT_FALSE(view.grafico->isHidden());
    EXPECT_TRUE(view.lblVazio->isHidden());
    EXPECT_EQ(view.grafico->getNumPontos(), 2);
    EXPECT_EQ(view.lblTitulo->text(), QStringLiteral("groove.mid: 2 scored runs"));
    EXPECT_TRUE(view.lblMelhor->text().startsWith(QStringLiteral("Best run: 87.5 % on 2026-12-08 ")))
        << qPrintable(view.lblMelhor->text());
    EXPECT_TRUE(view.lblMelhor->text().contains(QStringLiteral("+6.5 ms"))) << qPrintable(view.lblMelhor->text());
    EXPECT_EQ(view.lblSemana->text(), QStringLiteral("Practice this week: 2 min on this song, 2 min in all."));
    // Lowest first, the perfect bass drum left out, an unnamed note by its number.
    EXPECT_EQ(view.lblFamilias->text(), QStringLiteral("Drums to practise (latest runs): hi-hat 65 %, snare 70 %, note 81 75 %."));

    view.resize(640, 500);
    const QImage imagem = view.grafico->grab().toImage();
    EXPECT_GT(pixels(imagem, QColor(40, 100, 200)), 20);   // the accuracy line
    EXPECT_GT(pixels(imagem, QColor(220, 120, 30)), 20);   // the offset line
    EXPECT_GT(pixels(imagem, QColor(230, 170, 0)), 10);    // the best run's ring
}

TEST_F(TFormProgressoTest, BuildsWithFiveHundredRunsAndInPortuguese)
{
    const QString hash = HistoricoPratica::hashArquivo(musica);
    for (int i = 0; i < 500; ++i)
        salvar(hash, agora.addSecs(-600LL * (500 - i)), 40, 20 + i % 20, (i % 30) - 15.0, {{42, {40, 20 + i % 20}}});
    ASSERT_NE(GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("Português")), nullptr);
    TFormProgresso view;
    view.mostrarMusica(musica, historico.get(), agora);
    EXPECT_EQ(view.grafico->getNumPontos(), 500);
    EXPECT_EQ(view.lblTitulo->text(), QStringLiteral("groove.mid: 500 execuções avaliadas"));
    EXPECT_TRUE(view.lblFamilias->text().contains(QStringLiteral("chimbal"))) << qPrintable(view.lblFamilias->text());
    // 500 runs of 2 min, all within the last 83 hours: this week from Monday on.
    EXPECT_TRUE(view.lblSemana->text().startsWith(QStringLiteral("Prática nesta semana: ")))
        << qPrintable(view.lblSemana->text());
    const QImage imagem = view.grab().toImage();
    EXPECT_GT(pixels(imagem, QColor(40, 100, 200)), 100);
}
