#include "AmbienteSetup.h"

#include "settings/AbaPratica.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

// Whether the text, line breaks included, fits the label's fixed size.
bool cabeNoRotulo(const QLabel *rotulo, const QString &texto)
{
    const QRect necessario = QFontMetrics(rotulo->font()).boundingRect(
        QRect(0, 0, rotulo->width(), 1000), Qt::AlignLeft | Qt::AlignTop, texto);
    return necessario.width() <= rotulo->width() && necessario.height() <= rotulo->height();
}

bool cabeNoBotao(const QPushButton *botao, const QString &texto)
{
    const int margem = 2 * botao->style()->pixelMetric(QStyle::PM_ButtonMargin);
    return QFontMetrics(botao->font()).horizontalAdvance(texto) + margem <= botao->width();
}

bool cabeNaCaixa(QCheckBox *caixa, const QString &texto)
{
    const QString antes = caixa->text();
    caixa->setText(texto);
    const bool cabe = caixa->sizeHint().width() <= caixa->width();
    caixa->setText(antes);
    return cabe;
}

QString texto(const char *secao, const char *chave)
{
    QString t = GerenciadorIdiomas::instancia()->obterTexto(QString::fromLatin1(secao), QString::fromLatin1(chave));
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

// Every text the shipped languages put in the two dialogs fits its control.
TEST(LegendasCabem, TextosDosIdiomasInstaladosCabemNosControles)
{
    AmbienteSetup::preparar();
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    QStringList instalados = idiomas->getNomes();
    instalados.removeAll(QStringLiteral("Teste"));
    // The build always makes the shipped languages.
    ASSERT_EQ(instalados, (QStringList{QStringLiteral("English"), QStringLiteral("Português")}));

    for (const QString &nome : instalados) {
        SCOPED_TRACE(nome.toStdString());
        ASSERT_NE(idiomas->selecionarIdioma(nome), nullptr);

        TFormSetup setup;
        EXPECT_TRUE(cabeNoBotao(setup.btnAssistenteDriver, setup.btnAssistenteDriver->text()));
        EXPECT_FALSE(setup.btnAssistenteDriver->text().isEmpty());
        EXPECT_TRUE(cabeNaCaixa(setup.CheckBoxSel, setup.CheckBoxSel->text())) << setup.CheckBoxSel->text().toStdString();
        for (QCheckBox *caixa : setup.caixasCanal)
            EXPECT_TRUE(cabeNaCaixa(caixa, caixa->text())) << caixa->objectName().toStdString();
        EXPECT_LE(QFontMetrics(setup.GroupBoxCanais->font()).horizontalAdvance(setup.GroupBoxCanais->title()) + 16,
                  setup.GroupBoxCanais->width());
        EXPECT_LE(setup.PagCtrlSetup->tabBar()->sizeHint().width(), setup.PagCtrlSetup->width());
        // The Practice tab's layout fits its page, with room left below it.
        setup.show();
        QCoreApplication::processEvents();
        EXPECT_LE(setup.TabPratica->minimumSizeHint().width(), setup.TabPratica->width());
        EXPECT_LE(setup.TabPratica->minimumSizeHint().height() + 25, setup.TabPratica->height());
        setup.hide();

        TformAssistenteConfiguracaoDriver assistente;
        for (QLabel *rotulo : {assistente.lblTitulo1, assistente.lblExplicacao1, assistente.lblLinkVolumeWindows})
            EXPECT_TRUE(cabeNoRotulo(rotulo, rotulo->text())) << rotulo->text().toStdString();
        for (QPushButton *botao : {assistente.btnEscutando, assistente.btnNaoEscutando, assistente.btnProsseguir,
                                   assistente.btnCancelar, assistente.btnFinalizar})
            EXPECT_TRUE(cabeNoBotao(botao, botao->text())) << botao->text().toStdString();

        // The offer of the first device as shown, then the texts of the other steps.
        assistente.show();
        EXPECT_TRUE(cabeNoRotulo(assistente.lblTitulo2, assistente.lblTitulo2->text()));
        EXPECT_TRUE(cabeNoRotulo(assistente.lblExplicacao2, assistente.lblExplicacao2->text()))
            << assistente.lblExplicacao2->text().toStdString();
        assistente.reject();
        for (const char *passo : {"B", "C", "D"}) {
            const QByteArray titulo = QByteArray("lblTitulo2-") + passo;
            const QByteArray explicacao = QByteArray("lblExplicacao2-") + passo;
            const QString t = texto("fmAssistenteConfiguracaoDriver", titulo.constData());
            const QString e = texto("fmAssistenteConfiguracaoDriver", explicacao.constData());
            EXPECT_FALSE(t.isEmpty()) << passo;
            EXPECT_TRUE(cabeNoRotulo(assistente.lblTitulo2, t)) << t.toStdString();
            EXPECT_TRUE(cabeNoRotulo(assistente.lblExplicacao2, e)) << e.toStdString();
        }
    }
}

}  // namespace
