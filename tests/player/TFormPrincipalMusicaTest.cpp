#include "AmbienteJanela.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "player/Imagem.h"
#include "player/PainelAvaliacao.h"
#include "player/RegistroPratica.h"
#include "player/TFormEscolherArquivo.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "song/GerenciadorMusica.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TFormPrincipalMusicaTest : public testing::Test {
protected:
    void SetUp() override
    {
        AmbienteJanela::preparar();
        janelas = std::make_unique<Janelas>();
        j = janelas->principal.get();
        auto novo = std::make_unique<InstrumentoGravador>();
        kit = novo.get();
        ArquivoConfiguracao::instancia().setInstrumento(std::move(novo));
    }
    void TearDown() override { janelas.reset(); }

    QString abrir(const ArquivoMidiTeste &midi, const QString &nome = QStringLiteral("musica.mid"))
    {
        const QString caminho = AmbienteJanela::arquivo(nome);
        EXPECT_TRUE(midi.gravar(caminho));
        j->abrirMusica(caminho);
        return caminho;
    }

    QStringList entradas() const
    {
        QStringList textos;
        for (int i = 0; i < j->CmbTracks->count(); ++i)
            textos.append(j->CmbTracks->itemText(i));
        return textos;
    }

    // One tick of the engine at that position, as the clock would run it.
    void tick(int32_t posicao)
    {
        Sequenciador::instancia().setPosicao(posicao);
        Sequenciador::instancia().processarTick();
    }

    std::unique_ptr<Janelas> janelas;
    TFormPrincipal *j = nullptr;
    InstrumentoGravador *kit = nullptr;
};

QString t(const char *chave)
{
    return AmbienteJanela::texto("frmPrincipal", chave);
}

TEST_F(TFormPrincipalMusicaTest, OneDrumTrackGivesOneSelectedEntryAndNoAllTracksEntry)
{
    ArquivoMidiTeste midi;
    const int baixo = midi.trilha("Bass");
    const int bateria = midi.trilha("Drums");
    midi.nota(baixo, 0, 2, 40);
    midi.nota(bateria, 64, 9, 38);
    abrir(midi);
    EXPECT_EQ(entradas(), QStringList{t("Bateria") + QStringLiteral("1")});
    EXPECT_EQ(j->CmbTracks->currentIndex(), 0);
    EXPECT_EQ(j->getNumTrilhasBateria(), 1);
    EXPECT_EQ(j->getTrilhaBateria(0), 1);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_TRUE(Sequenciador::instancia().estaTocando());
    EXPECT_EQ(j->lblPlayer->text(), t("Tocando"));
    EXPECT_TRUE(j->CmbTracks->isEnabled() && j->tkbAndamento->isEnabled() && j->tkbBPM->isEnabled());
    EXPECT_EQ(janelas->setup->caixasCanal[0]->text(), QStringLiteral("Bass"));
    EXPECT_EQ(janelas->setup->caixasCanal[1]->text(), QStringLiteral("Drums"));
    EXPECT_EQ(j->getTempoTotal(), GerenciadorMusica::instancia().getTotalTempos());
    EXPECT_EQ(j->lblTimeTotal->text(), QString::number(j->getTempoTotal()));
    EXPECT_EQ(j->tkbAndamento->maximum(), GerenciadorMusica::instancia().getTotalTicks());
}

TEST_F(TFormPrincipalMusicaTest, ThreeDrumTracksGiveFourEntriesAndPickingOneShowsOnlyThatTrack)
{
    ArquivoMidiTeste midi;
    for (int i = 0; i < 10; ++i)
        midi.trilha(QByteArray("T") + QByteArray::number(i));
    midi.nota(0, 0, 3, 60);
    midi.nota(1, 128, 9, 36);
    midi.nota(4, 128, 9, 38);
    midi.nota(9, 128, 9, 42);
    abrir(midi);
    const QString b = t("Bateria");
    EXPECT_EQ(entradas(), (QStringList{b + "1", b + "2", b + "3", t("BateriaTodas")}));
    EXPECT_EQ(j->CmbTracks->currentIndex(), 3);
    EXPECT_EQ(j->getTrilhaBateria(1), 4);

    // All tracks: every stroke of the tick lights the kit.
    kit->chamadas.clear();
    tick(128);
    EXPECT_EQ(kit->chamadas, (QStringList{"+36", "+38", "+42"}));
    // The second entry is track 4: only its stroke shows; picking clears the kit.
    kit->chamadas.clear();
    emit j->CmbTracks->activated(1);
    tick(128);
    EXPECT_EQ(kit->chamadas, (QStringList{"limpo", "+38"}));
    kit->chamadas.clear();
    emit j->CmbTracks->activated(3);
    tick(128);
    EXPECT_EQ(kit->chamadas, (QStringList{"limpo", "+36", "+38", "+42"}));
}

TEST_F(TFormPrincipalMusicaTest, ASongWithoutDrumsLeavesTheSelectorEmptyWithItsPrompt)
{
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Piano"), 0, 0, 60);
    abrir(midi);
    EXPECT_EQ(j->CmbTracks->count(), 0);
    EXPECT_EQ(j->CmbTracks->currentIndex(), -1);
    EXPECT_EQ(j->CmbTracks->placeholderText(), t("CmbTracksText"));
    EXPECT_EQ(j->getNumTrilhasBateria(), 0);
}

TEST_F(TFormPrincipalMusicaTest, TrackBoxesGetTheNamesOfTheFirstSixteenTracksAndTheRestTheEmptyCaption)
{
    TFormSetup &setup = *janelas->setup;
    const QString semTrilha = AmbienteJanela::texto("frmSetup", "CheckBoxText");
    // 20 tracks: only 0..15 are listed and labelled; a drum track at 17 is not offered.
    ArquivoMidiTeste grande;
    for (int i = 0; i < 20; ++i)
        grande.trilha(QByteArray("  Track ") + QByteArray::number(i) + "  ");
    grande.nota(17, 0, 9, 36);
    abrir(grande);
    EXPECT_EQ(j->CmbTracks->count(), 0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(setup.caixasCanal[size_t(i)]->text(), QStringLiteral("Track %1").arg(i));
        EXPECT_TRUE(setup.caixasCanal[size_t(i)]->isChecked() && setup.caixasCanal[size_t(i)]->isEnabled());
    }
    EXPECT_TRUE(setup.CheckBoxSel->isEnabled() && setup.CheckBoxSel->isChecked());

    // 5 tracks, one unnamed and one of blanks: boxes 5..15 go back to the empty caption, disabled.
    ArquivoMidiTeste cinco;
    cinco.trilha("A");
    cinco.trilha();
    cinco.trilha("   ");
    cinco.trilha("D");
    cinco.trilha("E");
    setup.caixasCanal[2]->setChecked(false);
    abrir(cinco);
    EXPECT_EQ(setup.caixasCanal[1]->text(), t("SemNome"));
    EXPECT_EQ(setup.caixasCanal[2]->text(), t("SemNome"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(setup.caixasCanal[size_t(i)]->isChecked() && setup.caixasCanal[size_t(i)]->isEnabled());
        EXPECT_TRUE(ArquivoConfiguracao::instancia().canalAtivo(i));
    }
    for (int i = 5; i < 16; ++i) {
        EXPECT_FALSE(setup.caixasCanal[size_t(i)]->isEnabled());
        EXPECT_EQ(setup.caixasCanal[size_t(i)]->text(), semTrilha);
    }
}

TEST_F(TFormPrincipalMusicaTest, ASongOfNoTracksDisablesBox0Too)
{
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("A"), 0, 0, 60);
    abrir(midi);
    ASSERT_TRUE(janelas->setup->caixasCanal[0]->isEnabled());
    abrir(ArquivoMidiTeste(), QStringLiteral("vazia.mid"));
    ASSERT_TRUE(AmbienteJanela::mensagens().isEmpty()) << AmbienteJanela::mensagens().join("|").toStdString();
    EXPECT_FALSE(janelas->setup->caixasCanal[0]->isEnabled());
    EXPECT_EQ(janelas->setup->caixasCanal[0]->text(), AmbienteJanela::texto("frmSetup", "CheckBoxText"));
}

TEST_F(TFormPrincipalMusicaTest, AFailedLoadIsReportedAndLeavesTheWindowStoppedWithItsSongLabels)
{
    const QString quebrado = AmbienteJanela::arquivo(QStringLiteral("quebrado.mid"));
    QFile arquivo(quebrado);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("This is not a MIDI file.\n");
    arquivo.close();

    RegistroPratica::instancia().setMusica(QString());
    const QString vazio = AmbienteJanela::arquivo(QStringLiteral("vazio.mid"));
    QFile(vazio).open(QIODevice::WriteOnly);
    const auto invalido = [](const QString &nome) { return t("msgArquivoInvalido").replace(QStringLiteral("%1"), nome); };
    ASSERT_TRUE(t("msgArquivoInvalido").contains(QStringLiteral("%1")));

    // Before any song: only the message, which names the file and blames no device.
    j->abrirMusica(quebrado);
    EXPECT_EQ(AmbienteJanela::mensagens(), QStringList{invalido(QStringLiteral("quebrado.mid"))});
    EXPECT_EQ(j->getEstado(), TFormPrincipal::semMusica);
    EXPECT_TRUE(RegistroPratica::instancia().getMusica().isEmpty());  // no progress of a file that did not open
    CaixaMensagem::limparRegistros();
    j->abrirMusica(vazio);
    EXPECT_EQ(AmbienteJanela::mensagens(), QStringList{invalido(QStringLiteral("vazio.mid"))});
    CaixaMensagem::limparRegistros();

    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 0, 9, 36);
    const QString musica = abrir(midi);
    EXPECT_EQ(RegistroPratica::instancia().getMusica(), musica);
    j->tkbAndamento->setValue(2);
    CaixaMensagem::limparRegistros();
    j->abrirMusica(quebrado);
    EXPECT_EQ(AmbienteJanela::mensagens(), QStringList{invalido(QStringLiteral("quebrado.mid"))});
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
    EXPECT_EQ(j->lblPlayer->text(), t("Parado"));
    EXPECT_TRUE(j->imgPlay->isEnabled());
    EXPECT_FALSE(j->imgStop->isEnabled() || j->imgPause->isEnabled() || j->imgRepeat->isEnabled());
    EXPECT_FALSE(Sequenciador::instancia().estaTocando());
    EXPECT_EQ(entradas(), QStringList{t("Bateria") + QStringLiteral("1")});
    EXPECT_EQ(janelas->setup->caixasCanal[0]->text(), QStringLiteral("Drums"));
    EXPECT_EQ(RegistroPratica::instancia().getMusica(), musica);  // the song that still plays
}

// A big song is read behind a progress dialog: finished, it plays like any other;
// cancelled, the song before stays current and the window shows it stopped.
TEST_F(TFormPrincipalMusicaTest, ABigSongIsReadBehindAProgressDialogWhoseCancelKeepsThePreviousSong)
{
    const qint64 limiteAntes = TFormPrincipal::limiteLeituraDireta;
    TFormPrincipal::limiteLeituraDireta = 0;  // every song counts as big
    ArquivoMidiTeste primeira;
    primeira.nota(primeira.trilha("Drums"), 0, 9, 36);
    bool dialogoVisto = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            dialogoVisto = dialogoVisto || (qobject_cast<QProgressDialog *>(w) && w->isVisible());
    });
    abrir(primeira);
    EXPECT_TRUE(dialogoVisto);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    Musica *anterior = GerenciadorMusica::instancia().getMusica();
    ASSERT_NE(anterior, nullptr);
    EXPECT_EQ(entradas(), QStringList{t("Bateria") + QStringLiteral("1")});

    ArquivoMidiTeste segunda;
    segunda.nota(segunda.trilha("Bass"), 0, 2, 40);
    segunda.nota(segunda.trilha("Drums A"), 0, 9, 38);
    segunda.nota(segunda.trilha("Drums B"), 0, 9, 42);
    QTimer::singleShot(0, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialogo = qobject_cast<QProgressDialog *>(w); dialogo && dialogo->isVisible())
                if (auto *cancelar = dialogo->findChild<QPushButton *>())
                    cancelar->click();
    });
    abrir(segunda, QStringLiteral("segunda.mid"));
    EXPECT_EQ(GerenciadorMusica::instancia().getMusica(), anterior);
    EXPECT_EQ(GerenciadorMusica::instancia().getMusica()->getNumTrilhas(), 1);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
    EXPECT_FALSE(Sequenciador::instancia().estaTocando());
    EXPECT_EQ(entradas(), QStringList{t("Bateria") + QStringLiteral("1")});
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());  // a cancel is no failure
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QProgressDialog *>(w) && w->isVisible());

    // A broken file read off the GUI thread is reported like any other.
    const QString quebrado = AmbienteJanela::arquivo(QStringLiteral("quebrado.mid"));
    QFile arquivo(quebrado);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("MThd but not a MIDI file.\n");
    arquivo.close();
    j->abrirMusica(quebrado);
    EXPECT_EQ(AmbienteJanela::mensagens(),
              QStringList{t("msgArquivoInvalido").replace(QStringLiteral("%1"), QStringLiteral("quebrado.mid"))});
    EXPECT_EQ(GerenciadorMusica::instancia().getMusica(), anterior);
    TFormPrincipal::limiteLeituraDireta = limiteAntes;
}

TEST_F(TFormPrincipalMusicaTest, AGoodFileOnADeviceThatIsNotOpenBlamesTheDevice)
{
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 0, 9, 36);
    const QString caminho = AmbienteJanela::arquivo(QStringLiteral("boa.mid"));
    ASSERT_TRUE(midi.gravar(caminho));
    SaidaMIDI::instancia().abrirDispositivo(AmbienteJanela::dispositivo(QStringLiteral("Recusa")));
    ASSERT_FALSE(SaidaMIDI::instancia().dispositivoAberto());
    j->abrirMusica(caminho);
    EXPECT_EQ(AmbienteJanela::mensagens(), QStringList{t("msgPlacaDesconfigurada")});
}

TEST_F(TFormPrincipalMusicaTest, ABeatHandledAfterAStopLightsNothingOnTheStoppedKit)
{
    ArquivoMidiTeste midi;
    const int d = midi.trilha("Drums");
    midi.nota(d, 0, 9, 36);
    midi.nota(d, 64, 9, 38);
    abrir(midi);
    tick(64);
    // Stop, then a beat that the clock posted before it: the position is tick 0 again.
    QTest::mouseClick(j->imgStop, Qt::LeftButton);
    ASSERT_EQ(j->getEstado(), TFormPrincipal::parado);
    kit->chamadas.clear();
    Sequenciador::instancia().processarTick();
    EXPECT_TRUE(kit->chamadas.isEmpty()) << kit->chamadas.join(' ').toStdString();
    EXPECT_EQ(Sequenciador::instancia().getPosicao(), 0);
}

TEST_F(TFormPrincipalMusicaTest, ChangingTheLanguageRelabelsTheWindowAtOnce)
{
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    const int portugues = idiomas->getNomes().indexOf(QStringLiteral("Português"));
    ASSERT_GE(portugues, 0);
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 0, 9, 36);
    midi.nota(midi.trilha("More drums"), 0, 9, 38);
    abrir(midi);
    QTest::mouseClick(j->imgPause, Qt::LeftButton);
    const QString pausaIngles = t("Pausa");
    const QString dicaIngles = j->imgPlay->toolTip();

    idiomas->carregar(portugues);
    QCoreApplication::processEvents();
    EXPECT_EQ(j->lblPlayer->text(), t("Pausa"));
    EXPECT_NE(j->lblPlayer->text(), pausaIngles);
    EXPECT_EQ(j->imgPlay->toolTip(), t("Play"));
    EXPECT_NE(j->imgPlay->toolTip(), dicaIngles);
    EXPECT_EQ(j->lblVolume->text(), t("lblVolume"));
    EXPECT_EQ(entradas(), (QStringList{t("Bateria") + "1", t("Bateria") + "2", t("BateriaTodas")}));
    EXPECT_EQ(j->CmbTracks->currentIndex(), 2);
    EXPECT_EQ(janelas->setup->PagCtrlSetup->tabText(1), AmbienteJanela::texto("frmSetup", "TabCanais"));
}

TEST_F(TFormPrincipalMusicaTest, OpeningASecondSongStartsItFromTheTopWithoutSectionOrPlayAlong)
{
    ArquivoMidiTeste midi;
    const int d = midi.trilha("Drums");
    for (uint32_t b = 0; b < 8; ++b)
        midi.nota(d, b * 64, 9, 36);
    abrir(midi);
    Sequenciador &seq = Sequenciador::instancia();
    j->tkbAndamento->setValue(100);
    QTest::mouseClick(j->imgRepeat, Qt::LeftButton);
    seq.setPosicao(300);
    QTest::mouseClick(j->imgRepeat, Qt::LeftButton);
    j->ckKaraoke->setChecked(true);
    ASSERT_EQ(j->getEstado(), TFormPrincipal::repetindo);
    abrir(midi, QStringLiteral("segunda.mid"));
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    EXPECT_EQ(seq.getInicioLoop(), -1);
    EXPECT_EQ(seq.getFimLoop(), -1);
    EXPECT_EQ(seq.getPosicao(), 0);
    EXPECT_FALSE(j->ckKaraoke->isChecked());
    EXPECT_EQ(j->getTempoAtual(), 0);
    EXPECT_EQ(j->lblTime->text(), QStringLiteral("0"));
    EXPECT_EQ(j->tkbAndamento->value(), 0);
    EXPECT_FALSE(j->imgPlay->isEnabled());
}

// The file dialogs are shown through a seam the tests answer in place of the user,
// with the dialog as its button builds it; the seam is put back after each test.
class TFormPrincipalDialogosTest : public TFormPrincipalMusicaTest {
protected:
    void TearDown() override
    {
        QDir::setCurrent(pastaAntes);
        TFormPrincipal::mostrarDialogo = mostrarAntes;
        TFormPrincipalMusicaTest::TearDown();
    }

    // Every showing records the dialog's folder and listed names, then answers
    // with the entry of that name (a folder is entered, a file confirmed), or
    // cancels when escolha is empty.
    void responder(const QString &escolha)
    {
        TFormPrincipal::mostrarDialogo = [this, escolha](TFormEscolherArquivo &dialogo) {
            ++mostrados;
            titulo = dialogo.windowTitle();
            pasta = dialogo.getPasta();
            listados.clear();
            for (int i = 0; i < dialogo.lista->count(); ++i)
                listados.append(dialogo.lista->item(i)->text());
            if (escolha.isEmpty() || !dialogo.escolher(escolha))
                dialogo.reject();
            return dialogo.result();
        };
    }

    void tocandoComo(Musica *musica)
    {
        EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
        EXPECT_TRUE(Sequenciador::instancia().estaTocando());
        EXPECT_EQ(GerenciadorMusica::instancia().getMusica(), musica);
    }

    std::function<int(TFormEscolherArquivo &)> mostrarAntes = TFormPrincipal::mostrarDialogo;
    QString pastaAntes = QDir::currentPath();
    int mostrados = 0;
    QString titulo;
    QString pasta;
    QStringList listados;
};

TEST_F(TFormPrincipalDialogosTest, TheOpenDialogListsMidFilesInAnyLetterCaseRemembersItsFolderAndCancelKeepsTheSong)
{
    const QString abrirEm = AmbienteJanela::arquivo(QStringLiteral("abrir"));
    QDir().mkpath(abrirEm + QStringLiteral("/sub"));
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 0, 9, 36);
    ASSERT_TRUE(midi.gravar(abrirEm + QStringLiteral("/BEAT.MID")));
    ASSERT_TRUE(midi.gravar(abrirEm + QStringLiteral("/groove.mid")));
    QFile(abrirEm + QStringLiteral("/notes.txt")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir::setCurrent(abrirEm));  // where a first Open starts

    responder({});
    QTest::mouseClick(j->imgOpen, Qt::LeftButton);  // cancelled with no song: still none
    EXPECT_EQ(mostrados, 1);
    EXPECT_EQ(titulo, t("Open"));
    EXPECT_EQ(pasta, QDir(abrirEm).absolutePath());
    EXPECT_EQ(listados, (QStringList{"sub", "BEAT.MID", "groove.mid"}));
    EXPECT_EQ(j->getEstado(), TFormPrincipal::semMusica);
    EXPECT_EQ(GerenciadorMusica::instancia().getMusica(), nullptr);

    responder(QStringLiteral("BEAT.MID"));
    QTest::mouseClick(j->imgOpen, Qt::LeftButton);
    Musica *aberta = GerenciadorMusica::instancia().getMusica();
    ASSERT_NE(aberta, nullptr);
    tocandoComo(aberta);
    EXPECT_EQ(janelas->setup->caixasCanal[0]->text(), QStringLiteral("Drums"));

    // Cancelling while a song plays changes nothing; the next Open starts where the
    // last file was confirmed, whatever the working folder is now.
    ASSERT_TRUE(QDir::setCurrent(AmbienteJanela::pasta()));
    responder({});
    QTest::mouseClick(j->imgOpen, Qt::LeftButton);
    EXPECT_EQ(pasta, QDir(abrirEm).absolutePath());
    tocandoComo(aberta);
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
}

// A name that is not valid UTF-8 is listed with a replacement character and opens.
TEST_F(TFormPrincipalDialogosTest, TheOpenDialogListsAndOpensANameThatIsNotUtf8)
{
    const QString abrirEm = AmbienteJanela::arquivo(QStringLiteral("latin1"));
    QDir().mkpath(abrirEm);
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Caf\xe9"), 0, 9, 38);  // track names are Windows-1252
    ASSERT_TRUE(midi.gravar(abrirEm + QStringLiteral("/temp.mid")));
    const QByteArray pastaBytes = QFile::encodeName(abrirEm);
    ASSERT_EQ(::rename((pastaBytes + "/temp.mid").constData(), (pastaBytes + "/caf\xe9.mid").constData()), 0);
    ASSERT_TRUE(QDir::setCurrent(abrirEm));

    const QString mostrado = QStringLiteral("caf") + QChar(QChar::ReplacementCharacter) + QStringLiteral(".mid");
    responder(mostrado);
    QTest::mouseClick(j->imgOpen, Qt::LeftButton);
    EXPECT_EQ(listados, QStringList{mostrado});
    ASSERT_NE(GerenciadorMusica::instancia().getMusica(), nullptr);
    tocandoComo(GerenciadorMusica::instancia().getMusica());
    EXPECT_EQ(janelas->setup->caixasCanal[0]->text(), QStringLiteral("Café"));
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
}

TEST_F(TFormPrincipalDialogosTest, TheStylesDialogStartsInTheLanguagesStylesFolderWithNoFilterAndOpensANonAsciiName)
{
    const QString ritmos = j->getPastaRitmos();
    QDir().mkpath(ritmos);
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Bai\xe3o"), 0, 9, 36);
    ASSERT_TRUE(midi.gravar(ritmos + QStringLiteral("/Baião.mid")));
    QFile(ritmos + QStringLiteral("/leia-me.txt")).open(QIODevice::WriteOnly);

    responder(QStringLiteral("Baião.mid"));
    QTest::mouseClick(j->imgStyles, Qt::LeftButton);
    EXPECT_EQ(titulo, t("Styles"));
    EXPECT_EQ(pasta, QDir(ritmos).absolutePath());
    EXPECT_TRUE(listados.contains(QStringLiteral("leia-me.txt")));  // no filter
    Musica *aberta = GerenciadorMusica::instancia().getMusica();
    ASSERT_NE(aberta, nullptr);
    tocandoComo(aberta);
    EXPECT_EQ(janelas->setup->caixasCanal[0]->text(), QStringLiteral("Baião"));

    responder({});
    QTest::mouseClick(j->imgStyles, Qt::LeftButton);
    EXPECT_EQ(mostrados, 2);
    tocandoComo(aberta);
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
}

TEST_F(TFormPrincipalMusicaTest, ASeekCountsTheBeatsBeforeItsTickAndSilencesTheOutput)
{
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 600, 9, 36);
    abrir(midi);
    const int captura = AmbienteJanela::dispositivo(QStringLiteral("Captura"));
    const std::vector<std::pair<int, int>> casos{{1, 1}, {63, 1}, {64, 1}, {65, 2}, {128, 2}, {129, 3}, {0, 0}};
    for (const auto &[posicao, batidas] : casos) {
        SCOPED_TRACE(posicao);
        kit->chamadas.clear();
        const qint64 marca = AmbienteJanela::marca();
        j->tkbAndamento->setValue(posicao);
        EXPECT_EQ(j->getTempoAtual(), batidas);
        EXPECT_EQ(j->lblTime->text(), QString::number(batidas));
        EXPECT_EQ(Sequenciador::instancia().getPosicao(), posicao);
        EXPECT_EQ(kit->chamadas, QStringList{"limpo"});
        int silencio = 0;
        for (const AmbienteJanela::Mensagem &m : AmbienteJanela::desde(marca, captura))
            silencio += (m.status & 0xF0) == 0xB0 && (m.dado1 == 123 || m.dado1 == 121);
        EXPECT_EQ(silencio, 32);
    }
    // From a seek to 100 the next report, at 128, is the third: as if played from tick 0.
    j->tkbAndamento->setValue(100);
    tick(128);
    EXPECT_EQ(j->getTempoAtual(), 3);
    EXPECT_EQ(j->lblTime->text(), QStringLiteral("3"));
    EXPECT_EQ(j->tkbAndamento->value(), 128);
}

TEST_F(TFormPrincipalMusicaTest, TheLoopWrapRecountsTheBeatsAndTheReportStillCounts)
{
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 900, 9, 36);
    abrir(midi);
    Sequenciador &seq = Sequenciador::instancia();
    tick(0);
    EXPECT_EQ(j->lblTime->text(), QStringLiteral("1"));  // the first beat shows 1
    seq.setPosicao(64);
    QTest::mouseClick(j->imgRepeat, Qt::LeftButton);
    seq.setPosicao(200);
    QTest::mouseClick(j->imgRepeat, Qt::LeftButton);
    ASSERT_EQ(j->getEstado(), TFormPrincipal::repetindo);
    tick(64);
    tick(128);
    tick(192);
    EXPECT_EQ(j->getTempoAtual(), 4);
    tick(200);  // the loop end: back to 65
    EXPECT_EQ(seq.getPosicao(), 65);
    kit->chamadas.clear();
    tick(128);
    EXPECT_EQ(j->getTempoAtual(), 3);  // 128 / 64 + 1, as every report at 128
    EXPECT_EQ(j->lblTime->text(), QStringLiteral("3"));
    EXPECT_EQ(kit->chamadas.value(0), QStringLiteral("limpo"));
    EXPECT_EQ(j->getEstado(), TFormPrincipal::repetindo);
}

TEST_F(TFormPrincipalMusicaTest, TheSongEndsAtTheFirstReportPastItsLastTickWhichIsPlayed)
{
    // A release at tick 128 is the song's last event: total ticks 128, a multiple of 64.
    ArquivoMidiTeste midi;
    midi.nota(midi.trilha("Drums"), 124, 9, 36, 4);
    abrir(midi);
    ASSERT_EQ(GerenciadorMusica::instancia().getTotalTicks(), 128);
    const int captura = AmbienteJanela::dispositivo(QStringLiteral("Captura"));
    const qint64 marca = AmbienteJanela::marca();
    tick(128);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    bool soltou = false;
    for (const AmbienteJanela::Mensagem &m : AmbienteJanela::desde(marca, captura))
        soltou |= m.status == 0x99 && m.dado1 == 36 && m.dado2 == 0;
    EXPECT_TRUE(soltou);
    tick(192);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
    EXPECT_EQ(j->lblPlayer->text(), t("Parado"));
    EXPECT_EQ(Sequenciador::instancia().getPosicao(), 0);

    // A length that is not a multiple of 64 stops at the first report after it.
    ArquivoMidiTeste curta;
    curta.nota(curta.trilha("Drums"), 90, 9, 36, 10);
    abrir(curta, QStringLiteral("curta.mid"));
    tick(64);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::tocando);
    tick(128);
    EXPECT_EQ(j->getEstado(), TFormPrincipal::parado);
}

TEST_F(TFormPrincipalMusicaTest, TempoAndVolumeSlidersFollowTheirRulesAndReports)
{
    Sequenciador &seq = Sequenciador::instancia();
    // Before any tempo report the default tempo shows, never 0.
    EXPECT_EQ(j->tkbBPM->value(), 120);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("120"));
    j->exibirAndamento(30);
    j->exibirAndamento(250);
    EXPECT_EQ(j->tkbBPM->value(), 120);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("120"));
    seq.setAndamento(100);  // the engine sets its tempo before it reports it
    j->exibirAndamento(100);
    EXPECT_EQ(j->tkbBPM->value(), 100);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("100"));
    EXPECT_EQ(seq.getAndamento(), 100);
    // The slider moved to the sequencer's own tempo sets nothing and leaves the label.
    seq.setAndamento(150);
    j->tkbBPM->setValue(150);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("100"));
    // A drag to 200 on a song at 150 plays at 200: 133 % of the song's speed.
    j->tkbBPM->setValue(200);
    EXPECT_EQ(seq.getAndamento(), 200);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("200 (133 %)"));

    const int captura = AmbienteJanela::dispositivo(QStringLiteral("Captura"));
    qint64 marca = AmbienteJanela::marca();
    j->tkbVol->setValue(100);  // the bottom: silent
    EXPECT_EQ(ArquivoConfiguracao::instancia().getVolume(), 0);
    EXPECT_EQ(SaidaMIDI::instancia().getVolumeGeral(), 0);
    QList<AmbienteJanela::Mensagem> volumes = AmbienteJanela::desde(marca, captura);
    ASSERT_EQ(volumes.size(), 16);
    EXPECT_EQ(volumes.first().dado2, 0);
    j->tkbVol->setValue(0);  // the top: loudest
    EXPECT_EQ(ArquivoConfiguracao::instancia().getVolume(), 100);
    EXPECT_EQ(SaidaMIDI::instancia().getVolumeGeral(), 100);
}

TEST_F(TFormPrincipalMusicaTest, TheTempoSliderSetsASpeedThatTempoChangesStopAndPlayKeep)
{
    ArquivoMidiTeste midi;
    const int bateria = midi.trilha("Drums");
    midi.andamento(bateria, 0, 600000);   // 100 BPM
    midi.andamento(bateria, 64, 400000);  // 150 BPM
    midi.nota(bateria, 0, 9, 36);
    midi.nota(bateria, 200, 9, 38);
    abrir(midi);
    Sequenciador &seq = Sequenciador::instancia();
    tick(0);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("100"));
    j->tkbBPM->setValue(80);
    EXPECT_DOUBLE_EQ(seq.getFatorVelocidade(), 0.8);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("80 (80 %)"));
    // The longer text takes the caption's place and stays clear of "Play Along".
    EXPECT_TRUE(j->lblVelocidade->isHidden());
    EXPECT_LT(j->lblBPM->geometry().right(), j->lblPlayAlong->x());
    EXPECT_GE(j->lblBPM->x(), j->lblVelocidade->x());
    EXPECT_GE(j->lblBPM->width(), QFontMetrics(j->lblBPM->font()).horizontalAdvance(j->lblBPM->text()));
    tick(64);  // the song's 150 at 80 %
    EXPECT_EQ(seq.getAndamento(), 120);
    EXPECT_EQ(j->tkbBPM->value(), 120);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("120 (80 %)"));
    j->pararMusica();
    j->imgPlayClick();
    EXPECT_DOUBLE_EQ(seq.getFatorVelocidade(), 0.8);
    // Back at the song's own tempo the label is the plain number again.
    j->tkbBPM->setValue(150);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("150"));
    EXPECT_FALSE(j->lblVelocidade->isHidden());
    j->tkbBPM->setValue(75);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("75 (50 %)"));
    // The Play Along strip over the kit says the speed too.
    j->painelAvaliacao->atualizarFaixa(ResultadoAvaliacao{}, 0);
    EXPECT_TRUE(j->painelAvaliacao->getFaixa().endsWith(QStringLiteral("Speed 50 %"))) << j->painelAvaliacao->getFaixa().toStdString();
    // Another song starts at 100 %.
    abrir(midi, QStringLiteral("outra.mid"));
    EXPECT_DOUBLE_EQ(seq.getFatorVelocidade(), 1.0);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("120"));
    tick(0);
    EXPECT_EQ(j->lblBPM->text(), QStringLiteral("100"));
    j->painelAvaliacao->atualizarFaixa(ResultadoAvaliacao{}, 0);
    EXPECT_FALSE(j->painelAvaliacao->getFaixa().contains(QStringLiteral("Speed")));
}

}  // namespace
