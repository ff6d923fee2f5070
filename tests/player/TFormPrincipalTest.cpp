#include "AmbienteJanela.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "player/Imagem.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "song/GerenciadorMusica.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class TFormPrincipalTest : public testing::Test {
protected:
    void SetUp() override
    {
        AmbienteJanela::preparar();
        janelas = std::make_unique<Janelas>();
        j = janelas->principal.get();
    }
    void TearDown() override { janelas.reset(); }

    // A one-track drum song of 16 beats: a bass drum on every beat, the last at tick 960.
    void abrirMusica()
    {
        ArquivoMidiTeste midi;
        const int t = midi.trilha("Drums");
        for (uint32_t batida = 0; batida < 16; ++batida)
            midi.nota(t, batida * 64, 9, 36);
        const QString caminho = AmbienteJanela::arquivo(QStringLiteral("transporte.mid"));
        ASSERT_TRUE(midi.gravar(caminho));
        j->abrirMusica(caminho);
        ASSERT_EQ(j->getEstado(), TFormPrincipal::tocando);
    }

    // The transport buttons that are enabled, in layout order.
    QString habilitados() const
    {
        QStringList nomes;
        for (Imagem *botao : {j->imgRew, j->imgPlay, j->imgStop, j->imgPause, j->imgRepeat, j->imgFF})
            if (botao->isEnabled())
                nomes.append(botao->objectName().mid(3));
        return nomes.join(QLatin1Char(' '));
    }

    void clicar(Imagem *botao, Qt::MouseButton qual = Qt::LeftButton) { QTest::mouseClick(botao, qual); }

    std::unique_ptr<Janelas> janelas;
    TFormPrincipal *j = nullptr;
};

QString status(const char *chave)
{
    return AmbienteJanela::texto("frmPrincipal", chave);
}

TEST_F(TFormPrincipalTest, ConstructionBuildsTheFrameWithEveryTransportControlDisabled)
{
    EXPECT_EQ(j->objectName(), QStringLiteral("FormPrincipal"));
    EXPECT_EQ(j->size(), QSize(793, 527));
    EXPECT_TRUE(j->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(j->palette().color(QPalette::Window), QColor(72, 113, 192));
    EXPECT_EQ(habilitados(), QString());
    EXPECT_FALSE(j->CmbTracks->isEnabled());
    EXPECT_FALSE(j->tkbAndamento->isEnabled());
    EXPECT_FALSE(j->tkbBPM->isEnabled());
    EXPECT_EQ(j->tkbVol->maximum(), 100);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::semMusica);
    // Every table pair: the normal picture at 2k with its hint, its hidden twin at 2k + 1 in the same place.
    for (int tag = 0; tag < 26; tag += 2) {
        Imagem *normal = j->imagemBotao(tag);
        Imagem *gemea = j->imagemBotao(tag + 1);
        SCOPED_TRACE(normal->objectName().toStdString());
        EXPECT_EQ(normal->getTag(), tag);
        EXPECT_EQ(gemea->getTag(), tag + 1);
        EXPECT_EQ(gemea->objectName(), normal->objectName() + QLatin1Char('2'));
        EXPECT_TRUE(gemea->isHidden());
        EXPECT_EQ(gemea->x(), normal->x());
        EXPECT_EQ(normal->toolTip(), AmbienteJanela::texto("frmPrincipal", normal->objectName().mid(3).toLatin1()));
        EXPECT_FALSE(normal->toolTip().isEmpty());
    }
    // The keyboard help starts closed; the kit panel holds the kit.
    EXPECT_TRUE(j->panelTecladoEsquema->isHidden());
    EXPECT_FALSE(j->panelTecladoPequeno->isHidden());
    EXPECT_NE(j->pnInstrumento->findChild<QLabel *>(QStringLiteral("imgBateria")), nullptr);
    EXPECT_EQ(j->getPastaRitmos(), AmbienteJanela::pasta() + QStringLiteral("/styles"));
    EXPECT_EQ(j->lblTempo->text(), AmbienteJanela::texto("frmPrincipal", "lblTempo"));
}

// Mean and spread of the luminance (0..255) of a part of the window as it is drawn.
std::pair<double, double> luminancia(QWidget *janela, const QRect &area)
{
    const QImage imagem = janela->grab(area).toImage();
    double soma = 0;
    double quadrados = 0;
    const int n = std::max(1, imagem.width() * imagem.height());
    for (int y = 0; y < imagem.height(); ++y) {
        for (int x = 0; x < imagem.width(); ++x) {
            const int g = qGray(imagem.pixel(x, y));
            soma += g;
            quadrados += double(g) * g;
        }
    }
    const double media = soma / n;
    return {media, std::sqrt(std::max(0.0, quadrados / n - media * media))};
}

TEST_F(TFormPrincipalTest, ADisabledPictureButtonLooksDisabledNotPressed)
{
    j->show();
    for (Imagem *botao : {j->imgPlay, j->imgStop, j->imgRepeat}) {
        SCOPED_TRACE(botao->objectName().toStdString());
        Imagem *twin = j->imagemBotao(botao->getTag() + 1);
        const QRect area = botao->geometry();
        ASSERT_FALSE(botao->isEnabled());
        const auto [desabilitado, contrasteDesabilitado] = luminancia(j, area);
        botao->setEnabled(true);
        const auto [habilitado, contrasteHabilitado] = luminancia(j, area);
        botao->hide();
        twin->show();
        const double pressionado = luminancia(j, area).first;
        twin->hide();
        botao->show();
        botao->setEnabled(false);
        // Nearer the normal look than the lit, pressed one, and faded: less contrast.
        EXPECT_LT(std::abs(desabilitado - habilitado), std::abs(desabilitado - pressionado))
            << desabilitado << " " << habilitado << " " << pressionado;
        EXPECT_LT(contrasteDesabilitado, contrasteHabilitado * 0.6) << contrasteDesabilitado << " " << contrasteHabilitado;
    }
}

TEST_F(TFormPrincipalTest, TheVolumeSliderIsFilledFromTheBottomUpToItsHandle)
{
    j->show();
    // Half volume: the handle in the middle; the groove below it is filled, above it not.
    j->tkbVol->setValue(50);
    const QImage imagem = j->tkbVol->grab().toImage();
    const QColor destaque = j->tkbVol->palette().color(QPalette::Highlight);
    const auto distancia = [&](int y) {
        const QColor c = imagem.pixelColor(imagem.width() / 2, y);
        return std::abs(c.red() - destaque.red()) + std::abs(c.green() - destaque.green()) + std::abs(c.blue() - destaque.blue());
    };
    const int abaixo = distancia(imagem.height() - 4);
    const int acima = distancia(3);
    EXPECT_LT(abaixo, acima) << "below " << abaixo << ", above " << acima;
}

TEST_F(TFormPrincipalTest, PictureButtonShowsItsPressedTwinFromPressToReleaseAndClicksBeforeRestoring)
{
    janelas->setup->setModal(false);
    bool gemeaVisivelNoClique = false;
    QObject::connect(j->imgMin, &Imagem::clicado, j, [&] { gemeaVisivelNoClique = !j->imgMin2->isHidden(); });
    QTest::mousePress(j->imgMin, Qt::LeftButton);
    EXPECT_FALSE(j->imgMin2->isHidden());
    EXPECT_TRUE(j->imgMin->isHidden());
    QTest::mouseRelease(j->imgMin2, Qt::LeftButton, {}, j->imgMin->rect().center());
    EXPECT_TRUE(gemeaVisivelNoClique);
    EXPECT_TRUE(j->imgMin2->isHidden());
    EXPECT_FALSE(j->imgMin->isHidden());

    // Released away from the picture: the normal picture returns and nothing is clicked.
    gemeaVisivelNoClique = false;
    QTest::mousePress(j->imgMin, Qt::LeftButton);
    QTest::mouseRelease(j->imgCima, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(gemeaVisivelNoClique);
    EXPECT_FALSE(j->imgMin->isHidden());
    EXPECT_TRUE(j->imgMin2->isHidden());

    // The right button presses the picture but does not click it.
    QTest::mousePress(j->imgMin, Qt::RightButton);
    EXPECT_FALSE(j->imgMin2->isHidden());
    QTest::mouseRelease(j->imgMin, Qt::RightButton);
    EXPECT_FALSE(gemeaVisivelNoClique);
    EXPECT_TRUE(j->imgMin2->isHidden());

    // A disabled picture receives nothing.
    QTest::mousePress(j->imgPlay, Qt::LeftButton);
    EXPECT_TRUE(j->imgPlay2->isHidden());
    QTest::mouseRelease(j->imgPlay, Qt::LeftButton);
    EXPECT_EQ(Imagem::getCaptura(), nullptr);
}

TEST_F(TFormPrincipalTest, FirstShowingOpensTheStoredDeviceOnceAndAppliesTheVolume)
{
    const int segunda = AmbienteJanela::dispositivo(QStringLiteral("Captura2"));
    ArquivoConfiguracao::instancia().setDriver(segunda);
    ArquivoConfiguracao::instancia().setVolume(40);
    const qint64 marca = AmbienteJanela::marca();
    j->show();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return AmbienteJanela::desde(marca, segunda).size() >= 16; }));
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), segunda);
    EXPECT_EQ(j->tkbVol->value(), 60);  // loudest at the top
    // The master volume of 40 % reached all 16 channels of the stored device.
    const QList<AmbienteJanela::Mensagem> volumes = AmbienteJanela::desde(marca, segunda);
    EXPECT_EQ(volumes.first().status, 0xB0);
    EXPECT_EQ(volumes.first().dado1, 7);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getVolume(), 40);

    // Restored after minimising: shown again, but the device is not opened again.
    const qint64 depois = AmbienteJanela::marca();
    j->hide();
    j->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(AmbienteJanela::desde(depois, -1).isEmpty());
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
}

TEST_F(TFormPrincipalTest, FirstShowingWithNoStoredDeviceRunsTheWizardAndCancellingStoresDevice0)
{
    ArquivoConfiguracao::instancia().setDriver(-1);
    bool assistenteVisto = false;
    QTimer cancelar;
    QObject::connect(&cancelar, &QTimer::timeout, [&] {
        if (janelas->assistente->isVisible()) {
            assistenteVisto = true;
            janelas->assistente->btnCancelar->click();
        }
    });
    cancelar.start(20);
    j->show();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return ArquivoConfiguracao::instancia().getDriver() != -1; }));
    EXPECT_TRUE(assistenteVisto);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getDriver(), 0);
    EXPECT_EQ(SaidaMIDI::instancia().getDispositivo(), 0);
}

TEST_F(TFormPrincipalTest, ADeviceThatCannotBeOpenedAtFirstShowingIsReportedAndTheVolumeIsLeftAlone)
{
    ArquivoConfiguracao::instancia().setDriver(AmbienteJanela::dispositivo(QStringLiteral("Recusa")));
    ArquivoConfiguracao::instancia().setVolume(30);
    j->show();
    ASSERT_TRUE(AmbienteJanela::esperar([] { return !CaixaMensagem::registros().isEmpty(); }));
    EXPECT_EQ(AmbienteJanela::mensagens(), QStringList{AmbienteJanela::texto("frmPrincipal", "msgPlacaDesconfigurada")});
    EXPECT_EQ(CaixaMensagem::registros().first().titulo, AmbienteJanela::texto("geral", "nomeAplicacao"));
    EXPECT_EQ(j->tkbVol->value(), 0);
    EXPECT_TRUE(j->isVisible());
}

TEST_F(TFormPrincipalTest, ClosingAsksFirstAndOnYesSavesStopsSilencesAndCloses)
{
    abrirMusica();
    j->show();
    QCoreApplication::processEvents();
    const QString ini = AmbienteJanela::arquivo(ArquivoConfiguracao::instancia().getNomeArquivo());
    QFile::remove(ini);

    // No: nothing changes, nothing is written.
    CaixaMensagem::gravar(true, false);
    EXPECT_FALSE(j->close());
    EXPECT_TRUE(j->isVisible());
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_TRUE(Sequenciador::instancia().estaTocando());
    EXPECT_FALSE(QFile::exists(ini));
    ASSERT_EQ(CaixaMensagem::registros().size(), 1);
    EXPECT_TRUE(CaixaMensagem::registros().first().pergunta);
    EXPECT_EQ(CaixaMensagem::registros().first().texto, AmbienteJanela::texto("frmPrincipal", "closeQuery"));
    EXPECT_EQ(CaixaMensagem::registros().first().titulo, QString());

    // Yes, through the close button: the settings file, the clock stopped at 0, the device silenced.
    CaixaMensagem::gravar(true, true);
    ArquivoConfiguracao::instancia().setVolume(55);
    const qint64 marca = AmbienteJanela::marca();
    QTest::mouseClick(j->imgFechar, Qt::LeftButton);
    EXPECT_FALSE(j->isVisible());
    EXPECT_FALSE(Sequenciador::instancia().estaTocando());
    EXPECT_EQ(Sequenciador::instancia().getPosicao(), 0);
    EXPECT_EQ(SaidaMIDI::instancia().getNumTrilhasArquivo(), 0);  // the file was closed
    int silencios = 0;
    for (const AmbienteJanela::Mensagem &m : AmbienteJanela::desde(marca, -1))
        silencios += (m.status & 0xF0) == 0xB0 && m.dado1 == 123;
    EXPECT_EQ(silencios, 16);
    QFile arquivo(ini);
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(arquivo.readAll(), QByteArray("[geral]\r\ndriver=") + QByteArray::number(SaidaMIDI::instancia().getDispositivo())
                                     + "\r\nvolume=55\r\nidioma=English\r\n");
}

TEST_F(TFormPrincipalTest, ASaveThatFailsIsSaidAndTheWindowStillCloses)
{
    j->show();
    QCoreApplication::processEvents();
    // Nobody, not even root, can create files in /proc.
    const QString pasta = PastaAplicacao::caminho();
    PastaAplicacao::definir(QStringLiteral("/proc"));
    CaixaMensagem::gravar(true, true);
    EXPECT_TRUE(j->close());
    PastaAplicacao::definir(pasta);
    EXPECT_FALSE(j->isVisible());
    EXPECT_EQ(AmbienteJanela::mensagens(), (QStringList{AmbienteJanela::texto("frmPrincipal", "closeQuery"),
                                                        AmbienteJanela::texto("frmPrincipal", "msgConfiguracaoNaoSalva")}));
}

TEST_F(TFormPrincipalTest, AStoredVolumeFarOutOfRangePutsTheSliderAtItsEndWithoutOverflow)
{
    struct Caso {
        int32_t volume;
        int posicao;  // loudest at the top (0)
    };
    for (const Caso caso : {Caso{INT32_MIN, 100}, Caso{-2147483548, 100}, Caso{-1, 100}, Caso{INT32_MAX, 0}, Caso{127, 0}}) {
        janelas.reset();
        AmbienteJanela::preparar();
        janelas = std::make_unique<Janelas>();
        j = janelas->principal.get();
        ArquivoConfiguracao::instancia().setVolume(caso.volume);
        j->show();
        ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->tkbVol->value() == caso.posicao; })) << caso.volume;
    }
}

// What one transport step leaves: the state, the status text and the enabled buttons.
struct Passo {
    const char *acao;
    int estado;
    const char *status;
    const char *habilitados;
};

TEST_F(TFormPrincipalTest, EveryTransitionOfThePlayStateShowsItsStatusAndEnablesItsButtons)
{
    abrirMusica();
    EXPECT_EQ(j->lblPlayer->text(), status("Tocando"));
    EXPECT_EQ(habilitados(), QStringLiteral("Rew Stop Pause Repeat FF"));
    Sequenciador &seq = Sequenciador::instancia();
    const std::vector<Passo> passos{
        {"pause", 2, "Pausa", "Rew Play Stop Pause Repeat FF"},
        {"play", 1, "Tocando", "Rew Stop Pause Repeat FF"},  // Play in 2 resumes like Pause
        {"pause", 2, "Pausa", "Rew Play Stop Pause Repeat FF"},
        {"pause", 1, "Tocando", "Rew Stop Pause Repeat FF"},
        {"seek 128", 1, "Tocando", "Rew Stop Pause Repeat FF"},
        {"repeat", 3, "InicioLoop", "Rew Play Stop Pause Repeat FF"},
        {"pause", 2, "Pausa", "Rew Play Stop Pause Repeat FF"},
        {"pause", 3, "InicioLoop", "Rew Play Stop Pause Repeat FF"},
        {"seek 320", 3, "InicioLoop", "Rew Play Stop Pause Repeat FF"},
        {"repeat", 4, "Repetindo", "Rew Play Stop Pause FF"},
        {"pause", 2, "Pausa", "Rew Play Stop Pause FF"},
        {"play", 4, "Repetindo", "Rew Play Stop Pause FF"},
        {"play", 1, "Tocando", "Rew Stop Pause Repeat FF"},  // clears the section
        {"repeat", 3, "InicioLoop", "Rew Play Stop Pause Repeat FF"},
        {"play", 1, "Tocando", "Rew Stop Pause Repeat FF"},
        {"stop", 5, "Parado", "Rew Play FF"},
        {"repeat", 5, "Parado", "Rew Play FF"},
        {"play", 1, "Tocando", "Rew Stop Pause Repeat FF"},
    };
    for (const Passo &passo : passos) {
        SCOPED_TRACE(passo.acao);
        const QByteArray acao(passo.acao);
        if (acao == "play")
            clicar(j->imgPlay);
        else if (acao == "pause")
            clicar(j->imgPause);
        else if (acao == "stop")
            clicar(j->imgStop);
        else if (acao == "repeat")
            clicar(j->imgRepeat);
        else if (acao.startsWith("seek "))
            j->tkbAndamento->setValue(acao.mid(5).toInt());
        EXPECT_EQ(j->getEstado(), passo.estado);
        EXPECT_EQ(j->lblPlayer->text(), status(passo.status));
        EXPECT_EQ(habilitados(), QString::fromLatin1(passo.habilitados));
        if (acao == "play" && passo.estado == 1) {
            EXPECT_EQ(seq.getInicioLoop(), -1);
            EXPECT_EQ(seq.getFimLoop(), -1);
        }
    }
    EXPECT_TRUE(seq.estaTocando());
}

TEST_F(TFormPrincipalTest, RepeatMarksTheSectionAndMovesToItsStart)
{
    abrirMusica();
    Sequenciador &seq = Sequenciador::instancia();
    j->tkbAndamento->setValue(200);
    clicar(j->imgRepeat);
    EXPECT_EQ(seq.getInicioLoop(), 200);
    seq.setPosicao(400);
    clicar(j->imgRepeat);
    EXPECT_EQ(seq.getFimLoop(), 400);
    EXPECT_EQ(j->tkbAndamento->value(), 200);
    EXPECT_EQ(seq.getPosicao(), 200);
    EXPECT_EQ(j->getTempoAtual(), 4);  // (200 + 63) / 64

    // Twice within the same tick: a section whose start and end are the same tick.
    clicar(j->imgPlay);
    seq.setPosicao(500);
    clicar(j->imgRepeat);
    clicar(j->imgRepeat);
    EXPECT_EQ(seq.getInicioLoop(), 500);
    EXPECT_EQ(seq.getFimLoop(), 500);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::repetindo);
}

TEST_F(TFormPrincipalTest, StopRewindsSilencesRestoresTheKitAndInState0OnlyShowsTheStatus)
{
    j->pararMusica();
    EXPECT_EQ(j->getEstado(), TFormPrincipal::semMusica);
    EXPECT_EQ(j->lblPlayer->text(), status("Parado"));

    abrirMusica();
    j->tkbAndamento->setValue(300);
    const qint64 marca = AmbienteJanela::marca();
    clicar(j->imgStop);
    EXPECT_EQ(Sequenciador::instancia().getPosicao(), 0);
    EXPECT_FALSE(Sequenciador::instancia().estaTocando());
    EXPECT_EQ(j->tkbAndamento->value(), 0);
    EXPECT_EQ(j->getTempoAtual(), 0);
    EXPECT_EQ(j->lblTime->text(), QStringLiteral("0"));
    // The drum channel gets the standard kit back.
    bool kitPadrao = false;
    for (const AmbienteJanela::Mensagem &m : AmbienteJanela::desde(marca, -1))
        kitPadrao |= m.status == 0xC9 && m.dado1 == 0;
    EXPECT_TRUE(kitPadrao);
}

TEST_F(TFormPrincipalTest, FastForwardAndRewindStepOneBeatPerTimerTickWithinTheSong)
{
    abrirMusica();
    Sequenciador &seq = Sequenciador::instancia();
    ASSERT_EQ(j->getTempoTotal(), 16);  // 964 / 64 + 1
    // Beats the clock posted before the press arrive after it, at a tick that
    // makes no position report.
    seq.setPosicao(1);
    QTest::mousePress(j->imgFF, Qt::LeftButton);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::adiantando);
    EXPECT_EQ(j->lblPlayer->text(), status("Adiantando"));
    EXPECT_FALSE(j->imgFF2->isHidden());
    EXPECT_TRUE(j->TimerPlayer->isActive());
    EXPECT_EQ(j->TimerPlayer->interval(), 100);
    EXPECT_FALSE(seq.estaTocando());  // paused while held
    // The real timer steps the position: wait for two beats.
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->getTempoAtual() >= 2; }));
    EXPECT_EQ(j->tkbAndamento->value(), j->getTempoAtual() * 64);
    EXPECT_EQ(j->lblTime->text(), QString::number(j->getTempoAtual()));
    EXPECT_EQ(seq.getPosicao(), 1);  // the sequencer moves on release only
    // Past the end: the count stops at the song's length, the slider at its total ticks.
    for (int i = 0; i < 40; ++i)
        j->TimerPlayerTimer();
    EXPECT_EQ(j->getTempoAtual(), 16);
    EXPECT_EQ(j->tkbAndamento->value(), GerenciadorMusica::instancia().getTotalTicks());
    QTest::mouseRelease(j->imgFF, Qt::LeftButton);
    EXPECT_FALSE(j->TimerPlayer->isActive());
    EXPECT_TRUE(j->imgFF2->isHidden());
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_EQ(seq.getPosicao(), GerenciadorMusica::instancia().getTotalTicks());
    EXPECT_TRUE(seq.estaTocando());

    // Rewind past the start stops at 0.
    QTest::mousePress(j->imgRew, Qt::LeftButton);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::voltando);
    EXPECT_EQ(j->lblPlayer->text(), status("Voltando"));
    for (int i = 0; i < 40; ++i)
        j->TimerPlayerTimer();
    EXPECT_EQ(j->getTempoAtual(), 0);
    QTest::mouseRelease(j->imgRew, Qt::LeftButton);
    EXPECT_EQ(seq.getPosicao(), 0);
    EXPECT_EQ(j->lblTime->text(), QStringLiteral("0"));
}

TEST_F(TFormPrincipalTest, SeekingReturnsToThePausedStoppedOrMarkedStateItStartedFrom)
{
    abrirMusica();
    Sequenciador &seq = Sequenciador::instancia();
    auto buscar = [&](Imagem *botao, int passos) {
        QTest::mousePress(botao, Qt::LeftButton);
        for (int i = 0; i < passos; ++i)
            j->TimerPlayerTimer();
        QTest::mouseRelease(botao, Qt::LeftButton);
    };

    // From the pause: stays paused, and a later Pause resumes into the playing state.
    clicar(j->imgPause);
    buscar(j->imgFF, 3);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::pausado);
    EXPECT_EQ(j->lblPlayer->text(), status("Pausa"));
    EXPECT_FALSE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 192);
    clicar(j->imgPause);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_TRUE(seq.estaTocando());

    // Rewinding from state 3 to before the marked start: state 1, section cleared, clock running.
    clicar(j->imgRepeat);
    EXPECT_EQ(seq.getInicioLoop(), 192);
    buscar(j->imgRew, 2);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_EQ(seq.getInicioLoop(), -1);
    EXPECT_TRUE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 64);

    // Forward from state 4 past the loop end: the section is cancelled.
    clicar(j->imgRepeat);           // start at 64
    seq.setPosicao(256);
    clicar(j->imgRepeat);           // end at 256, back to 64
    buscar(j->imgFF, 2);            // still inside: repeating
    EXPECT_EQ(j->getEstado(), TFormPrincipal::repetindo);
    EXPECT_EQ(j->lblPlayer->text(), status("Repetindo"));
    buscar(j->imgFF, 4);            // to 384, past the end
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_EQ(seq.getFimLoop(), -1);

    // From the stopped state: the position moves, the player stays stopped.
    clicar(j->imgStop);
    buscar(j->imgFF, 5);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
    EXPECT_EQ(j->lblPlayer->text(), status("Parado"));
    EXPECT_FALSE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 320);
}

TEST_F(TFormPrincipalTest, ThePositionSliderSeeksWhilePausedStoppedMarkedAndRepeating)
{
    abrirMusica();
    Sequenciador &seq = Sequenciador::instancia();

    // Paused: the sequencer moves there and stays paused; Pause then plays on from there.
    clicar(j->imgPause);
    j->tkbAndamento->setValue(300);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::pausado);
    EXPECT_EQ(j->lblPlayer->text(), status("Pausa"));
    EXPECT_EQ(seq.getPosicao(), 300);
    EXPECT_FALSE(seq.estaTocando());
    clicar(j->imgPause);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_TRUE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 300);

    // Stopped: the sequencer moves there and stays stopped; Play starts from there,
    // so the first position report is the one at the next beat, not at beat 1.
    clicar(j->imgStop);
    j->tkbAndamento->setValue(500);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
    EXPECT_FALSE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 500);
    clicar(j->imgPlay);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_TRUE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 500);
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->tkbAndamento->value() != 500; }));
    EXPECT_EQ(j->tkbAndamento->value(), 512);

    // Repeating 128..384: before the start it keeps repeating; past the end the
    // section goes and the song plays on.
    seq.setPosicao(128);
    clicar(j->imgRepeat);
    seq.setPosicao(384);
    clicar(j->imgRepeat);
    ASSERT_EQ(j->getEstado(), TFormPrincipal::repetindo);
    j->tkbAndamento->setValue(64);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::repetindo);
    EXPECT_EQ(j->lblPlayer->text(), status("Repetindo"));
    EXPECT_EQ(seq.getInicioLoop(), 128);
    EXPECT_EQ(seq.getFimLoop(), 384);
    EXPECT_EQ(seq.getPosicao(), 64);
    j->tkbAndamento->setValue(600);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_EQ(j->lblPlayer->text(), status("Tocando"));
    EXPECT_EQ(seq.getInicioLoop(), -1);
    EXPECT_EQ(seq.getFimLoop(), -1);
    EXPECT_EQ(seq.getPosicao(), 600);
    EXPECT_TRUE(seq.estaTocando());
    EXPECT_EQ(habilitados(), QStringLiteral("Rew Stop Pause Repeat FF"));

    // Start marked at 700: back before it, the marking goes and the song plays on.
    seq.setPosicao(700);
    clicar(j->imgRepeat);
    ASSERT_EQ(j->getEstado(), TFormPrincipal::inicioMarcado);
    j->tkbAndamento->setValue(650);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_EQ(seq.getInicioLoop(), -1);
    EXPECT_EQ(seq.getPosicao(), 650);
}

// Fast-forward to the end leaves the sequencer at the song's last tick, playing; the
// clock's next position report, whatever tick it comes at, stops the player.
TEST_F(TFormPrincipalTest, AfterFastForwardToTheEndTheNextPositionReportStopsThePlayer)
{
    abrirMusica();
    Sequenciador &seq = Sequenciador::instancia();
    QTest::mousePress(j->imgFF, Qt::LeftButton);
    for (int i = 0; i < 40; ++i)
        j->TimerPlayerTimer();
    QTest::mouseRelease(j->imgFF, Qt::LeftButton);
    ASSERT_EQ(seq.getPosicao(), GerenciadorMusica::instancia().getTotalTicks());
    ASSERT_EQ(j->getEstado(), TFormPrincipal::tocando);
    ASSERT_TRUE(seq.estaTocando());

    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->getEstado() != TFormPrincipal::tocando; }));
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
    EXPECT_EQ(j->lblPlayer->text(), status("Parado"));
    EXPECT_FALSE(seq.estaTocando());
    EXPECT_EQ(seq.getPosicao(), 0);
    EXPECT_EQ(j->tkbAndamento->value(), 0);
    EXPECT_EQ(habilitados(), QStringLiteral("Rew Play FF"));
}

TEST_F(TFormPrincipalTest, ASeekCannotStickOnASecondPressOrWhenTheWindowLosesActivation)
{
    abrirMusica();
    j->show();
    QApplication::setActiveWindow(j);
    QCoreApplication::processEvents();

    // A second button pressed while fast-forward is held does not start a second seek.
    QTest::mousePress(j->imgFF, Qt::LeftButton);
    QTest::mousePress(j->imgFF2, Qt::RightButton);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::adiantando);
    EXPECT_EQ(j->getEstadoAnterior(), TFormPrincipal::tocando);
    QTest::mouseRelease(j->imgFF2, Qt::RightButton);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_FALSE(j->TimerPlayer->isActive());
    QTest::mouseRelease(j->imgFF, Qt::LeftButton);  // the other button's release finds nothing to end
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);

    // Another window takes the focus while rewind is held: the seek ends there.
    QTest::mousePress(j->imgRew, Qt::LeftButton);
    ASSERT_EQ(j->getEstado(), TFormPrincipal::voltando);
    QWidget outra;
    outra.show();
    QApplication::setActiveWindow(&outra);
    QCoreApplication::processEvents();
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_FALSE(j->TimerPlayer->isActive());
    EXPECT_TRUE(j->imgRew2->isHidden());
    EXPECT_FALSE(j->imgRew->isHidden());
    EXPECT_TRUE(Sequenciador::instancia().estaTocando());
    QTest::mouseRelease(j->imgRew, Qt::LeftButton);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
}

}
