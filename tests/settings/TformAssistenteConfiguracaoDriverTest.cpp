#include "AmbienteSetup.h"
#include "EscalaTeste.h"
#include "common/Espera.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "song/GerenciadorMusica.h"
#include "song/Musica.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TformAssistenteConfiguracaoDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        nomes = SaidaMIDI::instancia().listarDispositivos();
        recusa = AmbienteSetup::dispositivo(QStringLiteral("Recusa"));
        ASSERT_GE(nomes.size(), 4);
        ASSERT_GT(recusa, 0);
    }

    void TearDown() override
    {
        Sequenciador::instancia().parar();
    }

    void clicar(QPushButton *botao)
    {
        ASSERT_TRUE(botao->isVisible()) << botao->text().toStdString();
        ASSERT_TRUE(botao->isEnabled()) << botao->text().toStdString();
        QTest::mouseClick(botao, Qt::LeftButton);
    }

    // Runs the wizard with the walk done from inside its modal loop; a walk
    // that went wrong still closes it.
    int32_t executar(const std::function<void()> &caminho)
    {
        Espera::quandoVisivel(&assistente, [this, caminho] {
            caminho();
            if (assistente.isVisible())
                assistente.reject();
        });
        return assistente.executarAssistente();
    }

    QString ofertaEsperada(int i) const
    {
        return QStringLiteral("Vamos testar \"%1\". \n\nClique em Prosseguir").arg(nomes[i]);
    }

    // The wizard reads its texts and devices while it is built, so the language comes first.
    const bool preparado = (AmbienteSetup::preparar(), true);
    TformAssistenteConfiguracaoDriver assistente;
    QStringList nomes;
    int recusa = -1;
};

TEST_F(TformAssistenteConfiguracaoDriverTest, ConstrucaoTextos)
{
    EXPECT_EQ(assistente.windowTitle(), "Tamborly - Configurar");
    EXPECT_EQ(assistente.lblTitulo1->text(), "Bem-vindo");
    EXPECT_EQ(assistente.lblExplicacao1->text(), "Linha um\nLinha dois");
    EXPECT_EQ(assistente.lblLinkVolumeWindows->text(), "Volume");
    EXPECT_EQ(assistente.btnEscutando->text(), "Ouvi");
    EXPECT_EQ(assistente.btnNaoEscutando->text(), "Nao ouvi");
    EXPECT_EQ(assistente.btnProsseguir->text(), "Prosseguir");
    EXPECT_EQ(assistente.btnCancelar->text(), "Cancelar");
    EXPECT_EQ(assistente.btnFinalizar->text(), "Finalizar");
    EXPECT_EQ(assistente.size(), QSize(643, 255));
    EXPECT_EQ(assistente.Image1->pixmap().size(), QSize(139, 208));
    EXPECT_EQ(TformAssistenteConfiguracaoDriver::formAssistenteConfiguracaoDriver(), &assistente);
}

TEST_F(TformAssistenteConfiguracaoDriverTest, NenhumOuvidoPassaPorTodosETerminaEmDComZero)
{
    const int32_t resultado = executar([&] {
        for (int i = 0; i < nomes.size(); ++i) {
            EXPECT_EQ(assistente.lblTitulo2->text(), QStringLiteral("Dispositivo %1:").arg(i + 1));
            EXPECT_EQ(assistente.lblExplicacao2->text(), ofertaEsperada(i));
            EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Prosseguir (default)", "Cancelar"})) << i;
            EXPECT_EQ(assistente.focusWidget(), assistente.btnProsseguir);

            const qint64 marca = AmbienteSetup::marca();
            clicar(assistente.btnProsseguir);
            if (i == recusa)
                EXPECT_TRUE(AmbienteSetup::semSilencio(AmbienteSetup::desde(marca)).isEmpty());  // nothing plays, nothing is said
            else
                verificarEscala(AmbienteSetup::desde(marca, i));
            // The scale went to the device under test only.
            EXPECT_EQ(AmbienteSetup::semSilencio(AmbienteSetup::desde(marca)).size(),
                      AmbienteSetup::semSilencio(AmbienteSetup::desde(marca, i)).size());

            EXPECT_EQ(assistente.lblTitulo2->text(), "Ouviu?");
            EXPECT_EQ(assistente.lblExplicacao2->text(), "Responda");
            EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Ouvi", "Nao ouvi"}));
            clicar(assistente.btnNaoEscutando);
        }
        EXPECT_EQ(assistente.lblTitulo2->text(), "Nenhum");
        EXPECT_EQ(assistente.lblExplicacao2->text(), "Fim");
        EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Cancelar (off)", "Finalizar (default)"}));
        clicar(assistente.btnFinalizar);
    });
    EXPECT_EQ(resultado, 0);
    EXPECT_FALSE(assistente.isVisible());
}

TEST_F(TformAssistenteConfiguracaoDriverTest, OuvidoNoSegundoDevolveUmEDeixaOAberto)
{
    int32_t resultado = executar([&] {
        clicar(assistente.btnProsseguir);
        clicar(assistente.btnNaoEscutando);
        clicar(assistente.btnProsseguir);
        clicar(assistente.btnEscutando);
        EXPECT_EQ(assistente.lblTitulo2->text(), "Encontrado");
        EXPECT_EQ(assistente.lblExplicacao2->text(), "Pronto");
        EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Cancelar (off)", "Finalizar (default)"}));
        clicar(assistente.btnFinalizar);
    });
    EXPECT_EQ(resultado, 1);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), 1);
    EXPECT_TRUE(SaidaMIDI::instancia().dispositivoAberto());

    // The next show starts clean at the first device; the close box in step C
    // returns the device heard.
    resultado = executar([&] {
        EXPECT_EQ(assistente.lblTitulo2->text(), "Dispositivo 1:");
        EXPECT_FALSE(assistente.btnFinalizar->isVisible());
        EXPECT_TRUE(assistente.btnCancelar->isEnabled());
        clicar(assistente.btnProsseguir);
        clicar(assistente.btnNaoEscutando);
        clicar(assistente.btnProsseguir);
        clicar(assistente.btnEscutando);
        assistente.close();
    });
    EXPECT_EQ(resultado, 1);
}

TEST_F(TformAssistenteConfiguracaoDriverTest, CancelarDevolveMenosUmEFecharDevolveZero)
{
    const int ultimo = AmbienteSetup::dispositivo(QStringLiteral("Captura C"));
    SaidaMIDI::instancia().abrirDispositivo(ultimo);
    // Cancel in step A, after device 0 was tested: -1, and device 0 stays open.
    int32_t resultado = executar([&] {
        clicar(assistente.btnProsseguir);
        clicar(assistente.btnNaoEscutando);
        EXPECT_EQ(assistente.lblTitulo2->text(), "Dispositivo 2:");
        clicar(assistente.btnCancelar);
    });
    EXPECT_EQ(resultado, -1);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), 0);
    EXPECT_TRUE(SaidaMIDI::instancia().dispositivoAberto());

    // The close box in step B, and Escape in step A, return 0.
    resultado = executar([&] {
        clicar(assistente.btnProsseguir);
        assistente.close();
    });
    EXPECT_EQ(resultado, 0);
    resultado = executar([&] { QTest::keyClick(&assistente, Qt::Key_Escape); });
    EXPECT_EQ(resultado, 0);
}

TEST_F(TformAssistenteConfiguracaoDriverTest, DuranteAEscalaBotoesDesligadosEntradaDescartadaESequenciadorPausado)
{
    // A song playing behind the wizard.
    auto musica = std::make_unique<Musica>();
    musica->adicionarTrilha(std::make_unique<Trilha>());
    GerenciadorMusica::instancia().setMusica(std::move(musica));
    GerenciadorMusica::instancia().setTotalTicks(1 << 20);
    Sequenciador &sequenciador = Sequenciador::instancia();
    sequenciador.tocar();
    ASSERT_TRUE(AmbienteSetup::esperar([&] { return sequenciador.getPosicao() > 0; }));

    // Records, while the queue is worked off, whether any button could be pressed.
    struct Sonda : QObject {
        TformAssistenteConfiguracaoDriver *assistente = nullptr;
        QList<bool> habilitados;
        bool event(QEvent *evento) override
        {
            if (evento->type() != QEvent::User)
                return QObject::event(evento);
            for (QPushButton *b : {assistente->btnEscutando, assistente->btnNaoEscutando, assistente->btnProsseguir,
                                   assistente->btnCancelar, assistente->btnFinalizar})
                habilitados.append(b->isEnabled());
            return true;
        }
    } sonda;
    sonda.assistente = &assistente;

    const int32_t resultado = executar([&] {
        // Input that reaches the window while the scale plays.
        QCoreApplication::postEvent(&assistente, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QCoreApplication::postEvent(&assistente, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
        const QPointF centro = QRectF(assistente.btnNaoEscutando->rect()).center();
        const QPointF global = assistente.btnNaoEscutando->mapToGlobal(centro);
        QCoreApplication::postEvent(assistente.btnNaoEscutando,
                                    new QMouseEvent(QEvent::MouseButtonPress, centro, global, Qt::LeftButton,
                                                    Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(assistente.btnNaoEscutando,
                                    new QMouseEvent(QEvent::MouseButtonRelease, centro, global, Qt::LeftButton,
                                                    Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(&sonda, new QEvent(QEvent::User));

        const int32_t antes = sequenciador.getPosicao();
        clicar(assistente.btnProsseguir);
        // The beats of the scale's 1.9 s did not play in a burst afterwards.
        EXPECT_EQ(sequenciador.getPosicao(), antes);
        EXPECT_TRUE(sequenciador.estaTocando());
        EXPECT_EQ(sonda.habilitados, QList<bool>(5, false));

        QCoreApplication::processEvents();
        EXPECT_TRUE(assistente.isVisible());
        EXPECT_EQ(assistente.lblTitulo2->text(), "Ouviu?");
        EXPECT_EQ(botoesVisiveis(assistente), (QStringList{"Ouvi", "Nao ouvi"}));
        // Still on the first device: the queued click on "Not heard" went nowhere.
        clicar(assistente.btnNaoEscutando);
        EXPECT_EQ(assistente.lblTitulo2->text(), "Dispositivo 2:");
        clicar(assistente.btnCancelar);
    });
    EXPECT_EQ(resultado, -1);
    EXPECT_EQ(sonda.habilitados.size(), 5);
    // Playing goes on after the scale.
    const int32_t depois = sequenciador.getPosicao();
    EXPECT_TRUE(AmbienteSetup::esperar([&] { return sequenciador.getPosicao() > depois; }));
}

TEST_F(TformAssistenteConfiguracaoDriverTest, LinkDoVolumeSemMisturadorAvisa)
{
    // No mixer can be found on an empty search path.
    const QByteArray caminho = qgetenv("PATH");
    qputenv("PATH", "");
    const int32_t resultado = executar([&] {
        QTest::mouseClick(assistente.lblLinkVolumeWindows, Qt::LeftButton);
        clicar(assistente.btnCancelar);
    });
    qputenv("PATH", caminho);
    EXPECT_EQ(resultado, -1);
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_EQ(CaixaMensagem::registros()[0].texto, "Sem volume");
    EXPECT_EQ(CaixaMensagem::registros()[0].titulo, "Configurar");
}

}  // namespace
