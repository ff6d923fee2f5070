#include "AmbienteSetup.h"
#include "EscalaTeste.h"
#include "common/Espera.h"

#include "engine/SaidaMIDI.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Only the built-in synth: the suite runs without capture-only devices.
TEST(TformAssistenteConfiguracaoDriverUmDispositivo, SinteseEmbutidaOuvidaOuNao)
{
    AmbienteSetup::preparar();
    const QStringList nomes = SaidaMIDI::instancia().listarDispositivos();
    if (nomes.size() != 1)
        GTEST_SKIP() << "this machine has further output devices";
    ASSERT_EQ(nomes[0], "Tamborly Synth");

    TformAssistenteConfiguracaoDriver assistente;
    auto executar = [&](const std::function<void()> &caminho) {
        Espera::quandoVisivel(&assistente, [&assistente, caminho] {
            caminho();
            if (assistente.isVisible())
                assistente.reject();
        });
        return assistente.executarAssistente();
    };

    // Not heard on the only device: straight to the end, which returns 0.
    int32_t resultado = executar([&] {
        EXPECT_EQ(assistente.lblTitulo2->text(), "Dispositivo 1:");
        EXPECT_EQ(assistente.lblExplicacao2->text(),
                  QStringLiteral("Vamos testar \"Tamborly Synth\". \n\nClique em Prosseguir"));
        const qint64 marca = AmbienteSetup::marca();
        QTest::mouseClick(assistente.btnProsseguir, Qt::LeftButton);
        verificarEscala(AmbienteSetup::desde(marca, 0));
        QTest::mouseClick(assistente.btnNaoEscutando, Qt::LeftButton);
        EXPECT_EQ(assistente.lblTitulo2->text(), "Nenhum");
        EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Cancelar (off)", "Finalizar (default)"}));
        QTest::mouseClick(assistente.btnFinalizar, Qt::LeftButton);
    });
    EXPECT_EQ(resultado, 0);

    // Heard: step C, Finish returns device 0.
    resultado = executar([&] {
        QTest::mouseClick(assistente.btnProsseguir, Qt::LeftButton);
        QTest::mouseClick(assistente.btnEscutando, Qt::LeftButton);
        EXPECT_EQ(assistente.lblTitulo2->text(), "Encontrado");
        EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Cancelar (off)", "Finalizar (default)"}));
        QTest::mouseClick(assistente.btnFinalizar, Qt::LeftButton);
    });
    EXPECT_EQ(resultado, 0);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), 0);
    EXPECT_TRUE(SaidaMIDI::instancia().dispositivoAberto());
}

}  // namespace
