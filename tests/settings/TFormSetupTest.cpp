#include "AmbienteSetup.h"
#include "common/Espera.h"

#include "engine/SaidaMIDI.h"
#include "platform/CaixaMensagem.h"
#include "engine/Sequenciador.h"
#include "player/GraficoProgresso.h"
#include "player/RegistroPratica.h"
#include "player/TFormProgresso.h"
#include "settings/AbaPratica.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/PaginaKit.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

class TFormSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        captura = AmbienteSetup::dispositivo(QStringLiteral("Captura A"));
        recusa = AmbienteSetup::dispositivo(QStringLiteral("Recusa"));
        outra = AmbienteSetup::dispositivo(QStringLiteral("Captura C"));
        ASSERT_GT(captura, 0);
        ASSERT_GT(recusa, captura);
        ASSERT_GT(outra, recusa);
    }

    void TearDown() override
    {
        if (setup.isVisible())
            setup.reject();
    }

    // The dialog as the setup button shows it, without waiting in a modal loop.
    void mostrar()
    {
        setup.show();
        QCoreApplication::processEvents();
    }

    void clicarItem(int linha)
    {
        QListWidget *lista = setup.ListBoxDrivers;
        const QRect area = lista->visualItemRect(lista->item(linha));
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, area.center());
        QCoreApplication::processEvents();  // what the event loop does after a click
    }

    // The channel-volume messages aplicarVolumes sends at the given level.
    static QList<std::tuple<int, int, int>> volumes(int valor)
    {
        QList<std::tuple<int, int, int>> lista;
        for (int c = 0; c < 16; ++c)
            lista.append({0xB0 + c, 7, valor});
        return lista;
    }

    static QList<std::tuple<int, int, int>> semTempo(const QList<AmbienteSetup::Mensagem> &mensagens)
    {
        QList<std::tuple<int, int, int>> lista;
        for (const auto &m : AmbienteSetup::semSilencio(mensagens))
            lista.append({m.status, m.dado1, m.dado2});
        return lista;
    }

    QList<bool> marcadas() const
    {
        QList<bool> estado;
        for (QCheckBox *caixa : setup.caixasCanal)
            estado.append(caixa->isChecked());
        return estado;
    }

    // The dialog reads its texts while it is built, so the language comes first.
    const bool preparado = (AmbienteSetup::preparar(), true);
    TFormSetup setup;
    int captura = -1;
    int recusa = -1;
    int outra = -1;
};

TEST_F(TFormSetupTest, ConstrucaoTextosListaECaixasDesabilitadas)
{
    EXPECT_EQ(setup.windowTitle(), "Setup");
    EXPECT_EQ(setup.PagCtrlSetup->tabText(0), "Drivers");
    EXPECT_EQ(setup.PagCtrlSetup->tabText(1), "Canais");
    EXPECT_EQ(setup.PagCtrlSetup->currentIndex(), 0);
    EXPECT_EQ(setup.btnOK->text(), "OK");
    EXPECT_EQ(setup.btnCancel->text(), "Cancel");
    EXPECT_EQ(setup.btnOK->toolTip(), "Confirma");
    EXPECT_EQ(setup.btnCancel->toolTip(), "Desiste");
    EXPECT_EQ(setup.btnAssistenteDriver->text(), "Assistente");
    EXPECT_EQ(setup.btnAssistenteDriver->toolTip(), "Assistente");
    EXPECT_EQ(setup.GroupBoxCanais->title(), "Escolha os canais");
    EXPECT_EQ(setup.CheckBoxSel->text(), "Todos");
    EXPECT_FALSE(setup.CheckBoxSel->isEnabled());

    const QStringList nomes = SaidaMIDI::instancia().listarDispositivos();
    ASSERT_EQ(setup.ListBoxDrivers->count(), nomes.size());
    for (int i = 0; i < nomes.size(); ++i)
        EXPECT_EQ(setup.ListBoxDrivers->item(i)->text(), nomes[i]);
    EXPECT_EQ(nomes.value(recusa), "Recusa");  // listed without its "!"

    for (int i = 0; i < 16; ++i) {
        QCheckBox *caixa = setup.caixasCanal[static_cast<size_t>(i)];
        EXPECT_EQ(caixa->objectName(), QStringLiteral("CheckBox%1").arg(i));
        EXPECT_EQ(caixa->text(), "Canal livre");
        EXPECT_EQ(caixa->toolTip(), "Dica da caixa");
        EXPECT_FALSE(caixa->isEnabled()) << i;
        EXPECT_FALSE(caixa->isChecked()) << i;
    }
    EXPECT_EQ(TFormSetup::FormSetup(), &setup);
}

TEST_F(TFormSetupTest, MostrarSelecionaODispositivoGuardadoSemReabrir)
{
    ArquivoConfiguracao::instancia().setDriver(captura);
    SaidaMIDI::instancia().abrirDispositivo(captura);
    const qint64 marca = AmbienteSetup::marca();
    mostrar();
    EXPECT_EQ(setup.ListBoxDrivers->currentRow(), captura);
    EXPECT_TRUE(setup.ListBoxDrivers->item(captura)->isSelected());
    // Clicking the stored device does nothing either.
    clicarItem(captura);
    QCoreApplication::processEvents();
    EXPECT_TRUE(AmbienteSetup::desde(marca).isEmpty());
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), captura);
    setup.reject();

    // No device stored, or one beyond the list: nothing is selected.
    for (int guardado : {-1, 99}) {
        ArquivoConfiguracao::instancia().setDriver(guardado);
        mostrar();
        EXPECT_TRUE(setup.ListBoxDrivers->selectedItems().isEmpty()) << guardado;
        setup.reject();
        EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), guardado);
    }
}

TEST_F(TFormSetupTest, CliqueESetasAbremEGuardamODispositivoComOVolume)
{
    SaidaMIDI::instancia().setVolumeGeral(50);
    mostrar();
    qint64 marca = AmbienteSetup::marca();
    clicarItem(outra);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), outra);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), outra);
    EXPECT_TRUE(SaidaMIDI::instancia().dispositivoAberto());
    // The new device plays at the level of the master volume, and only once per click.
    EXPECT_EQ(semTempo(AmbienteSetup::desde(marca, outra)), volumes(63));
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());

    // Up from "Captura C" reaches the refusing device: the selection goes back to the
    // device in use, the cursor stays, so up once more reaches "Captura A".
    setup.ListBoxDrivers->setFocus();
    QTest::keyClick(setup.ListBoxDrivers, Qt::Key_Up);
    QCoreApplication::processEvents();
    EXPECT_EQ(setup.ListBoxDrivers->currentRow(), recusa);
    EXPECT_TRUE(setup.ListBoxDrivers->item(outra)->isSelected());
    EXPECT_FALSE(setup.ListBoxDrivers->item(recusa)->isSelected());
    EXPECT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), outra);
    marca = AmbienteSetup::marca();
    QTest::keyClick(setup.ListBoxDrivers, Qt::Key_Up);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), captura);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), captura);
    EXPECT_EQ(semTempo(AmbienteSetup::desde(marca, captura)), volumes(63));

    // Cancel undoes nothing.
    QTest::mouseClick(setup.btnCancel, Qt::LeftButton);
    EXPECT_FALSE(setup.isVisible());
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), captura);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), captura);
}

TEST_F(TFormSetupTest, DispositivoRecusadoAvisaMantemOGuardadoEReabreOGuardado)
{
    ArquivoConfiguracao::instancia().setDriver(captura);
    SaidaMIDI::instancia().abrirDispositivo(captura);
    SaidaMIDI::instancia().setVolumeGeral(75);
    mostrar();

    qint64 marca = AmbienteSetup::marca();
    clicarItem(recusa);
    // This device refused: the message names it, and blames no setup.
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_EQ(CaixaMensagem::registros()[0].texto, "Recusou Recusa");
    EXPECT_EQ(CaixaMensagem::registros()[0].titulo, "Tamborly");
    EXPECT_FALSE(CaixaMensagem::registros()[0].pergunta);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), captura);
    // The selection is back on the device in use.
    EXPECT_TRUE(setup.ListBoxDrivers->item(captura)->isSelected());
    EXPECT_FALSE(setup.ListBoxDrivers->item(recusa)->isSelected());
    // The stored device plays again, at the slider's level.
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), captura);
    EXPECT_TRUE(SaidaMIDI::instancia().dispositivoAberto());
    EXPECT_EQ(semTempo(AmbienteSetup::desde(marca, captura)), volumes(95));
    marca = AmbienteSetup::marca();
    SaidaMIDI::instancia().notaLigada(9, 127, 38);
    EXPECT_EQ(semTempo(AmbienteSetup::desde(marca, captura)), (QList<std::tuple<int, int, int>>{{0x99, 38, 127}}));

    // A second click on it tries again.
    clicarItem(recusa);
    EXPECT_EQ(CaixaMensagem::registros().size(), 2);
    EXPECT_TRUE(setup.ListBoxDrivers->item(captura)->isSelected());

    // OK keeps the device in use and closes.
    QTest::mouseClick(setup.btnOK, Qt::LeftButton);
    EXPECT_EQ(CaixaMensagem::registros().size(), 2);
    EXPECT_FALSE(setup.isVisible());
    EXPECT_EQ(setup.result(), QDialog::Accepted);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), captura);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), captura);
}

TEST_F(TFormSetupTest, NomesDeTrilhaLiteraisCortadosDentroDoGrupoESemMarcaSobrando)
{
    AmbienteSetup::abrirMusica(setup, 16);
    const QString longo = QStringLiteral("Cymbals & Drum Rolls from the Second Chorus");
    for (const int i : {0, 8, 15}) {
        SCOPED_TRACE(i);
        QCheckBox *caixa = setup.caixasCanal[static_cast<size_t>(i)];
        // Inside the group box, whichever column.
        EXPECT_LE(caixa->geometry().right(), setup.GroupBoxCanais->width() - 2);
        setup.mostrarTrilha(i, longo);
        // "&" shown as itself (doubled for the box), cut with an ellipsis, whole in the hint.
        EXPECT_TRUE(caixa->text().startsWith(QStringLiteral("Cymbals && "))) << caixa->text().toStdString();
        EXPECT_TRUE(caixa->text().endsWith(QChar(0x2026))) << caixa->text().toStdString();
        EXPECT_EQ(caixa->toolTip(), longo);
        EXPECT_LE(caixa->fontMetrics().horizontalAdvance(QString(caixa->text()).replace(QStringLiteral("&&"), QStringLiteral("&"))),
                  caixa->width());
    }
    // A short name is shown whole, with the box's own hint; no name shows the "no name" text.
    setup.mostrarTrilha(1, QStringLiteral("Kick & Snare"));
    EXPECT_EQ(setup.caixasCanal[1]->text(), QStringLiteral("Kick && Snare"));
    EXPECT_EQ(setup.caixasCanal[1]->toolTip(), QStringLiteral("Dica da caixa"));
    setup.mostrarTrilha(2, QString());
    EXPECT_EQ(setup.caixasCanal[2]->text(), QStringLiteral("Sem nome"));

    // A next song of three tracks: the boxes without a track keep no tick, and
    // emptying them silences nothing (there is no track to silence).
    const qint64 marca = AmbienteSetup::marca();
    AmbienteSetup::abrirMusica(setup, 3);
    EXPECT_EQ(marcadas().count(true), 3);
    for (int i = 3; i < 16; ++i) {
        QCheckBox *caixa = setup.caixasCanal[static_cast<size_t>(i)];
        EXPECT_FALSE(caixa->isChecked()) << i;
        EXPECT_FALSE(caixa->isEnabled()) << i;
        EXPECT_EQ(caixa->text(), QStringLiteral("Canal livre")) << i;
        EXPECT_EQ(caixa->toolTip(), QStringLiteral("Dica da caixa")) << i;
    }
    EXPECT_TRUE(AmbienteSetup::desde(marca).isEmpty());
    EXPECT_TRUE(setup.CheckBoxSel->isChecked());
}

TEST_F(TFormSetupTest, AbreCentradoSobreAJanelaDoDonoEDentroDaTela)
{
    QWidget dono;
    const QRect tela = QGuiApplication::primaryScreen()->availableGeometry();
    dono.setGeometry(tela.x() + 60, tela.y() + 40, 500, 400);
    dono.show();
    TFormSetup filho(&dono);
    filho.show();
    QCoreApplication::processEvents();
    EXPECT_LE((filho.frameGeometry().center() - dono.frameGeometry().center()).manhattanLength(), 4)
        << filho.frameGeometry().x() << "," << filho.frameGeometry().y() << " " << filho.frameGeometry().width() << "x"
        << filho.frameGeometry().height() << " over " << dono.frameGeometry().x() << "," << dono.frameGeometry().y();
    filho.hide();
    // An owner at the screen's edge: the dialog stays whole on the screen.
    dono.move(tela.right() - 100, tela.bottom() - 100);
    filho.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(tela.contains(filho.frameGeometry())) << filho.frameGeometry().x() << "," << filho.frameGeometry().y();
    filho.hide();
}

TEST_F(TFormSetupTest, IdiomaEscolhidoValeNaHoraEmTodasAsJanelasEFicaGuardado)
{
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    ASSERT_EQ(setup.ListBoxIdiomas->count(), idiomas->getNomes().size());
    const int portugues = idiomas->getNomes().indexOf(QStringLiteral("Português"));
    ASSERT_GE(portugues, 0) << "the build always makes the shipped languages";
    EXPECT_EQ(setup.PagCtrlSetup->tabText(setup.PagCtrlSetup->indexOf(setup.TabIdioma)), QStringLiteral("Lingua"));
    EXPECT_EQ(setup.GroupBoxIdioma->title(), QStringLiteral("Escolha a lingua"));
    mostrar();
    EXPECT_EQ(setup.ListBoxIdiomas->currentItem()->text(), QStringLiteral("Teste"));

    // Another window built from the language, as the player window is.
    QLabel outra;
    struct Observador : QObject {
        QLabel *rotulo;
        bool eventFilter(QObject *, QEvent *evento) override
        {
            if (evento->type() == QEvent::LanguageChange)
                rotulo->setText(GerenciadorIdiomas::instancia()->obterTexto(QStringLiteral("frmSetup"), QStringLiteral("TabCanais")));
            return false;
        }
    } observador;
    observador.rotulo = &outra;
    outra.installEventFilter(&observador);

    setup.ListBoxIdiomas->setCurrentRow(portugues);
    QCoreApplication::processEvents();
    EXPECT_EQ(idiomas->getNomeIdioma(), QStringLiteral("Português"));
    EXPECT_EQ(ArquivoConfiguracao::instancia().getIdioma(), QStringLiteral("Português"));
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
    // This dialog and the other window took the new texts at once.
    EXPECT_EQ(setup.PagCtrlSetup->tabText(1), idiomas->obterTexto("frmSetup", "TabCanais"));
    EXPECT_EQ(setup.PagCtrlSetup->tabText(setup.PagCtrlSetup->indexOf(setup.TabIdioma)), QStringLiteral("Idioma"));
    EXPECT_EQ(setup.btnAssistenteDriver->text(), idiomas->obterTexto("frmSetup", "btnAssistenteDriver"));
    EXPECT_EQ(outra.text(), idiomas->obterTexto("frmSetup", "TabCanais"));
    EXPECT_EQ(setup.TabKit->btnCalibrar->text(), idiomas->obterTexto("frmKit", "btnCalibrar"));
    EXPECT_FALSE(setup.TabKit->btnCalibrar->text().isEmpty());
    // And so do Qt's own buttons.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sim"));
    EXPECT_EQ(setup.ListBoxIdiomas->currentRow(), portugues);

    // Back to the first language: Qt's English again.
    setup.ListBoxIdiomas->setCurrentRow(idiomas->getNomes().indexOf(QStringLiteral("Teste")));
    QCoreApplication::processEvents();
    EXPECT_EQ(idiomas->getNomeIdioma(), QStringLiteral("Teste"));
    EXPECT_EQ(ArquivoConfiguracao::instancia().getIdioma(), QStringLiteral("Teste"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    EXPECT_EQ(setup.PagCtrlSetup->tabText(setup.PagCtrlSetup->indexOf(setup.TabIdioma)), QStringLiteral("Lingua"));
}

TEST_F(TFormSetupTest, CaixasDeUmaMusicaDeTresTrilhasESelecionarTodas)
{
    AmbienteSetup::abrirMusica(setup, 3, {1});
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    EXPECT_TRUE(setup.CheckBoxSel->isChecked());
    for (int i = 3; i < 16; ++i)
        EXPECT_FALSE(setup.caixasCanal[static_cast<size_t>(i)]->isEnabled()) << i;

    // Clearing the select-all box clears and silences the three tracks only.
    qint64 marca = AmbienteSetup::marca();
    setup.CheckBoxSel->setChecked(false);
    EXPECT_EQ(marcadas().count(true), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(configuracao.canalAtivo(i)) << i;
    for (int i = 3; i < 16; ++i) {
        EXPECT_FALSE(setup.caixasCanal[static_cast<size_t>(i)]->isEnabled()) << i;
        EXPECT_TRUE(configuracao.canalAtivo(i)) << i;
    }
    // Each track released all 128 notes on its channel; the drum track also cleared the kit.
    const auto silencio = AmbienteSetup::desde(marca, 0);
    for (int canal : {0, 9, 2}) {
        int liberadas = 0;
        for (const auto &m : silencio)
            liberadas += (m.status == 0x90 + canal && m.dado2 == 0) ? 1 : 0;
        EXPECT_EQ(liberadas, 128) << canal;
    }
    EXPECT_EQ(AmbienteSetup::chamadasInstrumento(), QStringList{"limpo"});
    EXPECT_FALSE(setup.CheckBoxSel->isChecked());

    // Checking it again checks the three boxes and stays checked.
    setup.CheckBoxSel->setChecked(true);
    EXPECT_EQ(marcadas(), (QList<bool>{true, true, true, false, false, false, false, false, false, false, false,
                                       false, false, false, false, false}));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(configuracao.canalAtivo(i)) << i;
    EXPECT_TRUE(setup.CheckBoxSel->isChecked());

    // One box cleared by the user clears the select-all box only.
    mostrar();
    setup.PagCtrlSetup->setCurrentIndex(1);
    QTest::mouseClick(setup.caixasCanal[0], Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_FALSE(setup.caixasCanal[0]->isChecked());
    EXPECT_FALSE(setup.CheckBoxSel->isChecked());
    EXPECT_TRUE(setup.caixasCanal[1]->isChecked());
    EXPECT_TRUE(setup.caixasCanal[2]->isChecked());
    // Track 0 has no drums: the kit was cleared only by the drum track above.
    EXPECT_EQ(AmbienteSetup::chamadasInstrumento(), QStringList{"limpo"});
    setup.caixasCanal[0]->setChecked(true);
    EXPECT_TRUE(setup.CheckBoxSel->isChecked());
}

TEST_F(TFormSetupTest, SelecionarTodasAcompanhaCadaCombinacaoDasCaixas)
{
    AmbienteSetup::abrirMusica(setup, 3, {2});
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    int limpezasEsperadas = 0;
    for (int estado = 0; estado < 8; ++estado) {  // bit i set: box i checked
        for (int i = 0; i < 3; ++i) {
            QCheckBox *caixa = setup.caixasCanal[static_cast<size_t>(i)];
            const bool marcar = (estado & (1 << i)) != 0;
            if (i == 2 && caixa->isChecked() && !marcar)
                ++limpezasEsperadas;
            caixa->setChecked(marcar);
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(configuracao.canalAtivo(i), (estado & (1 << i)) != 0) << estado << " " << i;
        EXPECT_EQ(setup.CheckBoxSel->isChecked(), estado == 7) << estado;

        // From any state, checking the select-all box checks every enabled box.
        setup.CheckBoxSel->setChecked(true);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(setup.caixasCanal[static_cast<size_t>(i)]->isChecked(), i < 3) << estado << " " << i;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(configuracao.canalAtivo(i)) << estado << " " << i;
        EXPECT_TRUE(setup.CheckBoxSel->isChecked());
    }
    // Only clearing the drum track cleared the kit.
    EXPECT_EQ(AmbienteSetup::chamadasInstrumento().count(QStringLiteral("limpo")), limpezasEsperadas);
}

TEST_F(TFormSetupTest, MusicaDeDezesseisTrilhasSemCaixaDesabilitada)
{
    AmbienteSetup::abrirMusica(setup, 16);
    setup.CheckBoxSel->setChecked(false);
    EXPECT_EQ(marcadas().count(true), 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_FALSE(ArquivoConfiguracao::instancia().canalAtivo(i)) << i;
    setup.CheckBoxSel->setChecked(true);
    EXPECT_EQ(marcadas().count(true), 16);
    EXPECT_TRUE(setup.CheckBoxSel->isChecked());
    // A song with no track leaves no box enabled, box 0 included (as the player window
    // opens one): the select-all box then walks no box and changes no flag, so it
    // never clears a track that does not exist.
    AmbienteSetup::abrirMusica(setup, 0);
    EXPECT_FALSE(setup.caixasCanal[0]->isEnabled());
    EXPECT_FALSE(setup.caixasCanal[1]->isEnabled());
    const QList<bool> antes = marcadas();
    for (const bool marcar : {false, true}) {
        setup.CheckBoxSel->setChecked(marcar);
        EXPECT_EQ(marcadas(), antes);
        for (int i = 0; i < 16; ++i)
            EXPECT_TRUE(ArquivoConfiguracao::instancia().canalAtivo(i)) << i;
    }
    EXPECT_TRUE(AmbienteSetup::chamadasInstrumento().isEmpty());
}

// Clicks the wizard's buttons in order once it shows; closes it if the walk went wrong.
void percorrerAssistente(TformAssistenteConfiguracaoDriver &assistente, QList<QPushButton *> botoes)
{
    Espera::quandoVisivel(&assistente, [&assistente, botoes] {
        for (QPushButton *botao : botoes) {
            if (!assistente.isVisible())
                break;
            EXPECT_TRUE(botao->isVisible() && botao->isEnabled()) << botao->text().toStdString();
            QTest::mouseClick(botao, Qt::LeftButton);
        }
        if (assistente.isVisible())
            assistente.reject();
    });
}

TEST_F(TFormSetupTest, AssistenteSemNovoDispositivoReabreOGuardado)
{
    if (captura != 1)
        GTEST_SKIP() << "the wizard's second device is not the capture device";
    TformAssistenteConfiguracaoDriver assistente;
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    configuracao.setDriver(captura);
    SaidaMIDI::instancia().abrirDispositivo(captura);
    mostrar();

    // Cancelled after a test on device 0: the stored device plays again, nothing else changes.
    qint64 marca = AmbienteSetup::marca();
    percorrerAssistente(assistente, {assistente.btnProsseguir, assistente.btnNaoEscutando, assistente.btnCancelar});
    QTest::mouseClick(setup.btnAssistenteDriver, Qt::LeftButton);
    EXPECT_FALSE(assistente.isVisible());
    EXPECT_EQ(AmbienteSetup::semSilencio(AmbienteSetup::desde(marca, 0)).size(), 2 + 48);  // the scale went to device 0
    EXPECT_EQ(setup.ListBoxDrivers->currentRow(), captura);
    EXPECT_EQ(configuracao.getDriver(), captura);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), captura);
    EXPECT_TRUE(SaidaMIDI::instancia().dispositivoAberto());
    EXPECT_EQ(semTempo(AmbienteSetup::desde(marca, captura)), volumes(127));
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());

    // The stored device heard again: it is reopened after the wizard's scale.
    marca = AmbienteSetup::marca();
    percorrerAssistente(assistente, {assistente.btnProsseguir, assistente.btnNaoEscutando, assistente.btnProsseguir,
                                     assistente.btnEscutando, assistente.btnFinalizar});
    QTest::mouseClick(setup.btnAssistenteDriver, Qt::LeftButton);
    const auto noGuardado = semTempo(AmbienteSetup::desde(marca, captura));
    ASSERT_EQ(noGuardado.size(), 2 + 48 + 16);
    EXPECT_EQ(noGuardado.mid(50), volumes(127));
    EXPECT_EQ(configuracao.getDriver(), captura);
    EXPECT_EQ(setup.ListBoxDrivers->currentRow(), captura);

    // A stored device that no longer opens is reported.
    configuracao.setDriver(recusa);
    percorrerAssistente(assistente, {assistente.btnCancelar});
    QTest::mouseClick(setup.btnAssistenteDriver, Qt::LeftButton);
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_EQ(CaixaMensagem::registros()[0].texto, "Placa desconfigurada");
    EXPECT_EQ(configuracao.getDriver(), recusa);
}

TEST_F(TFormSetupTest, AssistenteComOutroDispositivoOSelecionaEGuarda)
{
    TformAssistenteConfiguracaoDriver assistente;
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    configuracao.setDriver(outra);
    SaidaMIDI::instancia().abrirDispositivo(outra);
    mostrar();
    const qint64 marca = AmbienteSetup::marca();
    percorrerAssistente(assistente, {assistente.btnProsseguir, assistente.btnNaoEscutando, assistente.btnProsseguir,
                                     assistente.btnEscutando, assistente.btnFinalizar});
    QTest::mouseClick(setup.btnAssistenteDriver, Qt::LeftButton);
    EXPECT_EQ(setup.ListBoxDrivers->currentRow(), 1);
    EXPECT_EQ(configuracao.getDriver(), 1);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), 1);
    // Device 1 heard its scale, then the volumes when it was stored.
    const auto mensagens = semTempo(AmbienteSetup::desde(marca, 1));
    ASSERT_EQ(mensagens.size(), 2 + 48 + 16);
    EXPECT_EQ(mensagens.mid(50), volumes(127));
    EXPECT_TRUE(AmbienteSetup::semSilencio(AmbienteSetup::desde(marca, outra)).isEmpty());
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
}

TEST_F(TFormSetupTest, AbaPraticaMostraOGuardadoEAplicaCadaMudancaNaHora)
{
    AbaPratica *aba = setup.TabPratica;
    EXPECT_EQ(setup.PagCtrlSetup->tabText(setup.PagCtrlSetup->indexOf(aba)), "Pratica");
    EXPECT_EQ(aba->ckContagem->text(), "Contar");
    EXPECT_EQ(aba->spnAlvo->text(), "100 pct");
    // The defaults: everything off, and the values of what is off cannot be changed.
    EXPECT_FALSE(aba->ckContagem->isChecked() || aba->ckMetronomo->isChecked() || aba->ckTreino->isChecked());
    EXPECT_FALSE(aba->spnVolumeMetronomo->isEnabled());
    EXPECT_FALSE(aba->spnInicio->isEnabled());

    Sequenciador &sequenciador = Sequenciador::instancia();
    const Metronomo &metronomo = sequenciador.getMetronomo();
    const TreinadorAndamento &treinador = sequenciador.getTreinador();
    aba->ckContagem->setChecked(true);
    EXPECT_TRUE(metronomo.getContagem());
    EXPECT_FALSE(metronomo.getLigado());
    EXPECT_TRUE(aba->spnVolumeMetronomo->isEnabled());
    aba->ckMetronomo->setChecked(true);
    aba->spnVolumeMetronomo->setValue(40);
    aba->ckTreino->setChecked(true);
    EXPECT_TRUE(aba->spnInicio->isEnabled());
    aba->spnInicio->setValue(60);
    aba->spnPasso->setValue(10);
    aba->spnAlvo->setValue(300);  // beyond the box's range: 200
    EXPECT_TRUE(metronomo.getLigado());
    EXPECT_EQ(metronomo.getVolume(), 40);
    EXPECT_TRUE(treinador.getLigado());
    EXPECT_EQ(treinador.getInicio(), 60);
    EXPECT_EQ(treinador.getPasso(), 10);
    EXPECT_EQ(treinador.getAlvo(), 200);
    const ArquivoConfiguracao::Pratica guardada = ArquivoConfiguracao::instancia().getPratica();
    EXPECT_TRUE(guardada.contagem && guardada.metronomo && guardada.treino);
    EXPECT_EQ(guardada.volumeMetronomo, 40);
    EXPECT_EQ(guardada.treinoInicio, 60);
    EXPECT_EQ(guardada.treinoPasso, 10);
    EXPECT_EQ(guardada.treinoAlvo, 200);

    // The next start: the stored values show and reach the engine before any click.
    sequenciador.getMetronomo() = Metronomo();
    sequenciador.getTreinador() = TreinadorAndamento();
    TFormSetup outro;
    EXPECT_TRUE(outro.TabPratica->ckMetronomo->isChecked());
    EXPECT_EQ(outro.TabPratica->spnVolumeMetronomo->value(), 40);
    EXPECT_EQ(outro.TabPratica->spnInicio->value(), 60);
    EXPECT_TRUE(metronomo.getContagem() && metronomo.getLigado() && treinador.getLigado());
    EXPECT_EQ(treinador.getAlvo(), 200);
}

TEST_F(TFormSetupTest, OBotaoProgressoDaAbaPraticaMostraOProgressoDaMusicaAberta)
{
    QTemporaryDir dados;
    RegistroPratica &registro = RegistroPratica::instancia();
    registro.definirCaminho(dados.filePath(QStringLiteral("practice.sqlite")));
    registro.setMusica(QString());
    ASSERT_EQ(setup.btnProgresso->parentWidget(), setup.TabPratica);
    // The view is modal: read it and close it from the event loop that shows it.
    bool vista = false;
    QTimer vigia;
    vigia.setInterval(10);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *view = qobject_cast<TFormProgresso *>(w);
            if (view && view->isVisible()) {
                vista = !view->lblVazio->isHidden() && view->grafico->isHidden();
                view->reject();
                vigia.stop();
            }
        }
    });
    vigia.start();
    setup.btnProgresso->click();
    EXPECT_TRUE(vista);
    EXPECT_FALSE(vigia.isActive());
    registro.definirCaminho(QString());
}

}  // namespace
