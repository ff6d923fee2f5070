#include "EscalaTeste.h"

#include "common/Espera.h"
#include "common/PastaTemporaria.h"
#include "platform/CaixaMensagem.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString texto(const char *chave)
{
    return GerenciadorIdiomas::instancia()->obterTexto(QStringLiteral("fmAssistenteConfiguracaoDriver"),
                                                       QString::fromLatin1(chave));
}

// A process of its own whose application folder has no driver library: the
// wizard finds no output device at all.
TEST(TformAssistenteConfiguracaoDriverSemDispositivo, VaiDiretoAoUltimoPassoEFinalizarDevolveZero)
{
    PastaTemporaria pasta{{QStringLiteral("English.idm"), QStringLiteral("English.dat")}};
    CaixaMensagem::gravar(true);
    ASSERT_NE(GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("English")), nullptr);
    ASSERT_FALSE(texto("lblTitulo2-D").isEmpty());

    TformAssistenteConfiguracaoDriver assistente;
    for (int vez = 0; vez < 2; ++vez) {  // a second showing starts over the same way
        SCOPED_TRACE(vez);
        bool visto = false;
        Espera::quandoVisivel(&assistente, [&] {
            visto = true;
            EXPECT_EQ(assistente.lblTitulo2->text().toStdString(), texto("lblTitulo2-D").toStdString());
            // A line break of the language text shows as one new line.
            EXPECT_EQ(assistente.lblExplicacao2->text().toStdString(),
                      texto("lblExplicacao2-D").replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toStdString());
            EXPECT_EQ(botoesVisiveis(assistente),
                      (QStringList{texto("btnCancelar") + " (off)", texto("btnFinalizar") + " (default)"}));
            QTest::mouseClick(assistente.btnFinalizar, Qt::LeftButton);
            if (assistente.isVisible())
                assistente.reject();
        });
        EXPECT_EQ(assistente.executarAssistente(), 0);
        EXPECT_TRUE(visto);
        EXPECT_FALSE(assistente.btnFinalizar->isVisibleTo(&assistente));
        EXPECT_TRUE(assistente.btnCancelar->isEnabled());
    }
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
    GerenciadorIdiomas::descartarInstancia();
}

}  // namespace
