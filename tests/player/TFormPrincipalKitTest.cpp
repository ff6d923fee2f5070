// The drum kit played into the window: replay input devices light the kit, the device is
// kept by name, and Play Along marks, strip and results panel appear over the kit.
#include "AmbienteJanela.h"

#include "engine/EntradaMIDI.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "song/Musica.h"
#include "player/PainelAvaliacao.h"
#include "player/RegistroPratica.h"
#include "practice/HistoricoPratica.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/PaginaKit.h"
#include "settings/TFormSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// The replay devices must be in the environment before the driver library is loaded.
QTemporaryDir &pastaKit()
{
    // Deleted with the process's statics, as the run ends.
    static QTemporaryDir pasta;
    static const bool anunciada = [] {
        qputenv("SNMIDI32_INPUT_DEVICES", QFile::encodeName(QStringLiteral("Kit Replay:") + pasta.filePath("kit.txt")
                                                            + QStringLiteral(",Kit Mudo:") + pasta.filePath("ausente.txt")));
        return true;
    }();
    (void)anunciada;
    return pasta;
}
const bool kitPreparado = (pastaKit(), true);

class TFormPrincipalKitTest : public testing::Test {
protected:
    void SetUp() override
    {
        AmbienteJanela::preparar();
        ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
        configuracao.setEntrada(QString());
        configuracao.setSomKit(false);
        configuracao.setLatencia(0, 0);
        EntradaMIDI::instancia().fechar();
    }
    void TearDown() override
    {
        EntradaMIDI::instancia().fechar();
        janelas.reset();
    }

    void escreverKit(const QByteArray &linhas)
    {
        QFile arquivo(pastaKit().filePath("kit.txt"));
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
        arquivo.write(linhas);
    }

    // Builds and shows the window, which opens the stored kit once it is on screen.
    void abrirJanela()
    {
        janelas = std::make_unique<Janelas>();
        j = janelas->principal.get();
        j->show();
        auto novo = std::make_unique<InstrumentoGravador>();
        kit = novo.get();
        ArquivoConfiguracao::instancia().setInstrumento(std::move(novo));
        ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->dispositivoIniciado(); }));
    }

    std::unique_ptr<Janelas> janelas;
    TFormPrincipal *j = nullptr;
    InstrumentoGravador *kit = nullptr;
};

TEST_F(TFormPrincipalKitTest, AReplayedKitLightsTheKitAndSoundsWhenAsked)
{
    // Snare on channel 10 then its release, the foot controller closing the hat, a note
    // on another channel, a note the kit has no picture for, and clock bytes (ignored).
    escreverKit("0 153 38 100\n40000 137 38 0\n60000 185 4 127\n80000 185 4 10\n100000 144 45 90\n"
                "120000 153 81 70\n130000 248 0 0\n");
    ArquivoConfiguracao::instancia().setEntrada(QStringLiteral("Kit Replay"));
    ArquivoConfiguracao::instancia().setSomKit(true);
    const qint64 marca = AmbienteJanela::marca();
    abrirJanela();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return kit->chamadas.size() >= 6; })) << kit->chamadas.join(' ').toStdString();
    EXPECT_EQ(kit->chamadas, (QStringList{"+38", "-38", "+44", "-44", "+45", "+81"}));
    EXPECT_TRUE(EntradaMIDI::instancia().dispositivoAberto());
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
    // "Sound my kit": each hit goes out on channel 10 with its own velocity.
    const int captura = AmbienteJanela::dispositivo(QStringLiteral("Captura"));
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return AmbienteJanela::notas(marca, captura).size() >= 3; }));
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), (QStringList{"153 38 100", "153 45 90", "153 81 70"}));
}

TEST_F(TFormPrincipalKitTest, AMissingKitIsReportedOnceAndKeptByName)
{
    escreverKit(QByteArray());  // the replay kit chosen below exists, silent
    ArquivoConfiguracao::instancia().setEntrada(QStringLiteral("Kit Mudo"));
    abrirJanela();
    ASSERT_TRUE(AmbienteJanela::esperar([] { return !AmbienteJanela::mensagens().isEmpty(); }));
    EXPECT_EQ(AmbienteJanela::mensagens(),
              QStringList{AmbienteJanela::texto("frmKit", "msgEntradaIndisponivel")
                              .arg(QStringLiteral("Kit Mudo"))
                              .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))});
    EXPECT_FALSE(EntradaMIDI::instancia().dispositivoAberto());
    EXPECT_EQ(ArquivoConfiguracao::instancia().getEntrada(), "Kit Mudo");

    // The setup's kit tab lists it (kept), with "none" and the devices there are; choosing
    // the replay kit opens it and stores its name.
    TFormSetup *setup = janelas->setup;
    setup->show();
    PaginaKit *pagina = setup->TabKit;
    EXPECT_EQ(pagina->CmbEntrada->currentText(), "Kit Mudo");
    EXPECT_EQ(pagina->CmbEntrada->itemText(0), AmbienteJanela::texto("frmKit", "entradaNenhuma"));
    const int replay = pagina->CmbEntrada->findText(QStringLiteral("Kit Replay"));
    ASSERT_GT(replay, 0);
    pagina->CmbEntrada->setCurrentIndex(replay);
    emit pagina->CmbEntrada->activated(replay);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getEntrada(), "Kit Replay");
    EXPECT_TRUE(EntradaMIDI::instancia().dispositivoAberto());
    pagina->ckSomKit->setChecked(true);
    EXPECT_TRUE(ArquivoConfiguracao::instancia().getSomKit());
    emit pagina->CmbEntrada->activated(0);
    EXPECT_EQ(ArquivoConfiguracao::instancia().getEntrada(), "");
    EXPECT_FALSE(EntradaMIDI::instancia().dispositivoAberto());
    EXPECT_EQ(AmbienteJanela::mensagens().size(), 1) << "reported once";
    setup->hide();
}

TEST_F(TFormPrincipalKitTest, PlayAlongShowsMarksTheStripAndTheResultsPanel)
{
    abrirJanela();
    PainelAvaliacao *painel = j->painelAvaliacao;
    EXPECT_FALSE(painel->faixaVisivel());
    j->ckKaraoke->setChecked(true);
    EXPECT_TRUE(painel->faixaVisivel());
    EXPECT_EQ(painel->geometry(), QRect(0, 0, 626, 414));

    // A made-up run: two snare strokes, one hit 12 ms late, one missed.
    Avaliador &avaliador = Sequenciador::instancia().getAvaliador();
    const int64_t t = EntradaMIDI::agora();
    avaliador.esperar(38, t);
    avaliador.esperar(38, t + 500000);
    avaliador.avancar(t);
    avaliador.tocar(38, t + 12000);
    avaliador.avancar(t + 500000 + Avaliador::limiteUs + Avaliador::folgaEntregaUs);
    j->exibirAvaliacao();
    EXPECT_EQ(painel->marcasVivas(), 2);
    EXPECT_TRUE(painel->getFaixa().contains(QStringLiteral("Accuracy 50 %"))) << painel->getFaixa().toStdString();
    EXPECT_TRUE(painel->getFaixa().contains(QStringLiteral("dragging by 12 ms"))) << painel->getFaixa().toStdString();
    EXPECT_FALSE(painel->resultadoVisivel());
    // The marks fade away by themselves.
    EXPECT_TRUE(AmbienteJanela::esperar([&] { return painel->marcasVivas() == 0; }, 5000));

    // The run's end brings the results panel; Esc closes it without striking a drum.
    avaliador.terminar();
    j->exibirAvaliacao();
    EXPECT_TRUE(painel->resultadoVisivel());
    kit->chamadas.clear();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(j->windowHandle(), &esc);
    EXPECT_FALSE(painel->resultadoVisivel());
    // A click closes it too; without it, clicks reach the kit.
    painel->mostrarResultado(ResultadoAvaliacao{});
    EXPECT_FALSE(painel->testAttribute(Qt::WA_TransparentForMouseEvents));
    QTest::mouseClick(painel, Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_FALSE(painel->resultadoVisivel());
    EXPECT_TRUE(painel->testAttribute(Qt::WA_TransparentForMouseEvents));

    // Marks say early, late or on time, with the offset.
    EXPECT_EQ(PainelAvaliacao::textoDaMarca({38, Avaliador::Nota::bom, -31.6}), "early 32 ms");
    EXPECT_EQ(PainelAvaliacao::textoDaMarca({38, Avaliador::Nota::ok, 80}), "late 80 ms");
    EXPECT_EQ(PainelAvaliacao::textoDaMarca({38, Avaliador::Nota::perfeito, 3}), "on time");
    // Unticking Play Along takes strip and marks away.
    j->ckKaraoke->setChecked(false);
    EXPECT_FALSE(painel->faixaVisivel());
}

}  // namespace

namespace {

TEST_F(TFormPrincipalKitTest, AStyleInPlayAlongWithAKitTwentyMillisecondsLateScoresAboutPlusTwenty)
{
    abrirJanela();
    // The style plays a moment, so its own tempo is in effect, then stops.
    j->abrirMusica(QStringLiteral(TAMBORLY_BUILD_APP_DIR "/styles/Rock.mid"));
    Sequenciador &sequenciador = Sequenciador::instancia();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return sequenciador.getPosicao() > 64; }));
    j->pararMusica();
    const int64_t tickUs = 937500 / sequenciador.getAndamento();

    // The withheld strokes: drum note-ons of the shown drum track(s), each struck 20 ms
    // after the song sounds it (the output's latency after its tick was due).
    const int64_t latencia = SaidaMIDI::instancia().getLatenciaSaida();
    EXPECT_EQ(latencia, 20000) << "the library's default";
    Musica *musica = GerenciadorMusica::instancia().getMusica();
    ASSERT_NE(musica, nullptr);
    ASSERT_GE(j->getNumTrilhasBateria(), 1);
    QList<int32_t> exibidas;
    for (int k = 0; k < j->getNumTrilhasBateria(); ++k)
        exibidas.append(j->getTrilhaBateria(k));
    QByteArray linhas;
    int golpes = 0;
    const int32_t total = GerenciadorMusica::instancia().getTotalTicks();
    for (int32_t tick = 0; tick <= total; ++tick) {
        for (int32_t trilha : exibidas) {
            for (EventoSequenciamento *evento : musica->eventosNoTick(tick, trilha)) {
                auto *nota = dynamic_cast<EventoNoteOn *>(evento);
                if (!nota || nota->getCanal() != 9 || nota->getVelocidade() == 0)
                    continue;
                linhas += QByteArray::number(int64_t(tick) * tickUs + latencia + 20000) + " 153 "
                          + QByteArray::number(nota->getNota()) + " 100\n";
                ++golpes;
            }
        }
    }
    ASSERT_GE(golpes, 8);
    escreverKit(linhas);
    ASSERT_TRUE(EntradaMIDI::instancia().abrirSemIniciar(QStringLiteral("Kit Replay")));

    j->ckKaraoke->setChecked(true);
    j->imgPlayClick();  // from tick 0: the kit starts when that tick is due
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->painelAvaliacao->resultadoVisivel(); }, 120000));
    const ResultadoAvaliacao &r = *j->painelAvaliacao->getResultado();
    EXPECT_EQ(r.esperados, golpes);
    EXPECT_GE(r.perfeitos + r.bons + r.ok, golpes - 2);
    EXPECT_LE(r.extras, 2);
    EXPECT_NEAR(r.desvioMedioMs, 20.0, 3.0) << ::testing::PrintToString(r.desviosMs);
}

}  // namespace

namespace {

TEST_F(TFormPrincipalKitTest, EachFinishedRunGoesToThePracticeHistoryAndThePanelOpensTheProgress)
{
    QTemporaryDir dados;
    RegistroPratica &registro = RegistroPratica::instancia();
    registro.definirCaminho(dados.filePath(QStringLiteral("practice.sqlite")));
    const QString musica = AmbienteJanela::arquivo(QStringLiteral("historico.mid"));
    QFile arquivo(musica);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("a song's bytes");
    arquivo.close();
    registro.setMusica(musica);
    abrirJanela();
    PainelAvaliacao *painel = j->painelAvaliacao;
    j->ckKaraoke->setChecked(true);

    // A made-up run of ten snare strokes, nine hit 5 ms late.
    Avaliador &avaliador = Sequenciador::instancia().getAvaliador();
    const int64_t t = EntradaMIDI::agora();
    for (int i = 0; i < 10; ++i)
        avaliador.esperar(38, t + i * 200000);
    for (int i = 0; i < 9; ++i) {
        avaliador.avancar(t + i * 200000);
        avaliador.tocar(38, t + i * 200000 + 5000);
    }
    avaliador.avancar(t + 2500000);
    avaliador.terminar();
    j->exibirAvaliacao();
    ASSERT_TRUE(painel->resultadoVisivel());
    EXPECT_TRUE(painel->btnProgresso->isVisible());
    EXPECT_EQ(painel->btnProgresso->focusPolicy(), Qt::NoFocus);
    // Written after the panel, from the event loop.
    EXPECT_EQ(registro.getPendentes(), 1);
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return registro.getPendentes() == 0; }, 30000));
    {
        HistoricoPratica h(dados.filePath(QStringLiteral("practice.sqlite")));
        const auto lidas = h.execucoesDaMusica(HistoricoPratica::hashArquivo(musica));
        ASSERT_EQ(lidas.size(), 1u);
        EXPECT_EQ(lidas[0].arquivo, QStringLiteral("historico.mid"));
        EXPECT_EQ(lidas[0].resultado.esperados, 10);
        EXPECT_EQ(lidas[0].resultado.perfeitos, 9);
        EXPECT_NEAR(lidas[0].resultado.desvioMedioMs, 5.0, 0.01);
        EXPECT_FALSE(lidas[0].temLoop());
        EXPECT_DOUBLE_EQ(lidas[0].velocidade, Sequenciador::instancia().getFatorVelocidade());
    }

    // The panel's Progress button closes the panel and asks for the progress view.
    int pedidos = 0;
    painel->aoPedirProgresso = [&] { ++pedidos; };
    QTest::mouseClick(painel->btnProgresso, Qt::LeftButton);
    EXPECT_EQ(pedidos, 1);
    EXPECT_FALSE(painel->resultadoVisivel());
    EXPECT_FALSE(painel->btnProgresso->isVisible());
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
    registro.definirCaminho(QString());
}

}  // namespace

namespace {

TEST_F(TFormPrincipalKitTest, CalibratingAKitThatStrikesWithTheSoundingClicksGivesNoLatency)
{
    // A replay kit struck exactly when each click sounds: the output's latency after it is due.
    QByteArray linhas;
    for (int k = 0; k < Calibracao::numCliques; ++k)
        linhas += QByteArray::number(k * Calibracao::intervaloUs + 20000) + " 153 38 100\n";
    escreverKit(linhas);
    ArquivoConfiguracao::instancia().setEntrada(QStringLiteral("Kit Replay"));
    ArquivoConfiguracao::instancia().setLatencia(25, 3);
    abrirJanela();
    ASSERT_TRUE(AmbienteJanela::esperar([] { return EntradaMIDI::instancia().dispositivoAberto(); }));
    ASSERT_EQ(SaidaMIDI::instancia().getLatenciaSaida(), 20000) << "the library's default";

    TFormSetup *setup = janelas->setup;
    setup->show();
    PaginaKit *pagina = setup->TabKit;
    pagina->btnCalibrar->click();
    ASSERT_TRUE(pagina->calibrando());
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return !pagina->calibrando(); }, 120000));
    // The kit's file is played from when the first click is due, and each stroke is measured
    // from when its click sounded: nothing of the output's latency is left in the result.
    EXPECT_EQ(pagina->lblCalibracao->text(), AmbienteJanela::texto("frmKit", "msgCalibrado").arg(Calibracao::considerados));
    EXPECT_NEAR(ArquivoConfiguracao::instancia().getLatencia(), 0.0, 0.5);
    setup->hide();
}

}  // namespace
