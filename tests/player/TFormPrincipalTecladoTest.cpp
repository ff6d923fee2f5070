#include "AmbienteJanela.h"

#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "player/Imagem.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/TOrvButton3D.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// Records the addresses handed to the browser instead of starting one.
class Navegadores : public QObject {
    Q_OBJECT
public:
    QList<QUrl> abertos;
public slots:
    void abrir(const QUrl &endereco) { abertos.append(endereco); }
};

class TFormPrincipalTecladoTest : public testing::Test {
protected:
    void SetUp() override
    {
        AmbienteJanela::preparar();
        janelas = std::make_unique<Janelas>();
        j = janelas->principal.get();
        j->show();
        QApplication::setActiveWindow(j);
        AmbienteJanela::esperar([&] { return j->windowHandle() && j->isActiveWindow(); });
        QCoreApplication::processEvents();
        auto novo = std::make_unique<InstrumentoGravador>();
        kit = novo.get();
        ArquivoConfiguracao::instancia().setInstrumento(std::move(novo));
        captura = AmbienteJanela::dispositivo(QStringLiteral("Captura"));
    }
    void TearDown() override { janelas.reset(); }

    // A key as the window system delivers it: to the window first.
    void tecla(QEvent::Type tipo, int qual, Qt::KeyboardModifiers modificadores = {}, bool repetida = false)
    {
        QKeyEvent evento(tipo, qual, modificadores, QString(), repetida);
        QCoreApplication::sendEvent(j->windowHandle(), &evento);
    }

    std::unique_ptr<Janelas> janelas;
    TFormPrincipal *j = nullptr;
    InstrumentoGravador *kit = nullptr;
    int captura = -1;
};

struct TeclaEsperada {
    int qual;
    int slot;
    int nota;
};

TEST_F(TFormPrincipalTecladoTest, EveryDrumKeyStrikesItsNoteOnceAndItsReleaseOnlyRestoresTheKit)
{
    const std::vector<TeclaEsperada> mapa{
        {Qt::Key_A, 0, 38},  {Qt::Key_S, 1, 38},  {Qt::Key_Z, 2, 37},  {Qt::Key_X, 3, 46},  {Qt::Key_D, 4, 46},
        {Qt::Key_C, 5, 48},  {Qt::Key_F, 6, 48},  {Qt::Key_V, 7, 45},  {Qt::Key_G, 8, 45},  {Qt::Key_B, 9, 43},
        {Qt::Key_H, 10, 43}, {Qt::Key_N, 11, 41}, {Qt::Key_J, 12, 41}, {Qt::Key_E, 13, 59}, {Qt::Key_Y, 14, 57},
        {Qt::Key_O, 15, 49}, {Qt::Key_R, 16, 55}, {Qt::Key_K, 17, 51}, {Qt::Key_Space, 18, 35},
    };
    for (const TeclaEsperada &e : mapa) {
        SCOPED_TRACE(e.qual);
        kit->chamadas.clear();
        const qint64 marca = AmbienteJanela::marca();
        tecla(QEvent::KeyPress, e.qual);
        EXPECT_TRUE(j->teclaPressionada(e.slot));
        tecla(QEvent::KeyPress, e.qual, {}, true);  // auto-repeat: nothing
        tecla(QEvent::KeyRelease, e.qual, {}, true);
        EXPECT_TRUE(j->teclaPressionada(e.slot));
        tecla(QEvent::KeyRelease, e.qual);
        EXPECT_FALSE(j->teclaPressionada(e.slot));
        // Channel 10, full velocity, sent at once; the release sends nothing.
        EXPECT_EQ(AmbienteJanela::notas(marca, captura), QStringList{QStringLiteral("153 %1 127").arg(e.nota)});
        EXPECT_EQ(AmbienteJanela::desde(marca, captura).size(), 1);
        const QString n = QString::number(e.nota);
        EXPECT_EQ(kit->chamadas, (QStringList{"-44", "+" + n, "-44", "-" + n}));
    }
    // Keys that are no drum only restore the pedal.
    kit->chamadas.clear();
    const qint64 marca = AmbienteJanela::marca();
    for (int outra : {int(Qt::Key_Q), int(Qt::Key_1), int(Qt::Key_Return), int(Qt::Key_Shift)})
        tecla(QEvent::KeyPress, outra);
    EXPECT_TRUE(AmbienteJanela::desde(marca, captura).isEmpty());
    EXPECT_EQ(kit->chamadas, (QStringList{"-44", "-44", "-44", "-44"}));
}

TEST_F(TFormPrincipalTecladoTest, CtrlIsTheHiHatPedalAndClosesTheHatForXAndD)
{
    const qint64 marca = AmbienteJanela::marca();
    // As X delivers them: a modifier key's own event carries the state before it,
    // and Qt reports the state after it.
    tecla(QEvent::KeyPress, Qt::Key_Control);
    tecla(QEvent::KeyPress, Qt::Key_Control, {}, true);
    tecla(QEvent::KeyPress, Qt::Key_X, Qt::ControlModifier);
    tecla(QEvent::KeyPress, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), (QStringList{"153 44 127", "153 42 127", "153 42 127"}));
    tecla(QEvent::KeyRelease, Qt::Key_X, Qt::ControlModifier);
    tecla(QEvent::KeyRelease, Qt::Key_D, Qt::ControlModifier);
    kit->chamadas.clear();
    tecla(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_FALSE(j->teclaPressionada(19));
    EXPECT_EQ(kit->chamadas, QStringList{"-44"});
    // Held A and then S: two strokes of the same note, from separate keys.
    const qint64 depois = AmbienteJanela::marca();
    tecla(QEvent::KeyPress, Qt::Key_A);
    tecla(QEvent::KeyPress, Qt::Key_S);
    EXPECT_EQ(AmbienteJanela::notas(depois, captura), (QStringList{"153 38 127", "153 38 127"}));
}

TEST_F(TFormPrincipalTecladoTest, SpaceOnThePlayAlongBoxPlaysTheBassDrumWithoutTogglingIt)
{
    j->ckKaraoke->setFocus();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->ckKaraoke->hasFocus(); }));
    const qint64 marca = AmbienteJanela::marca();
    QTest::keyClick(j->windowHandle(), Qt::Key_Space);
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), QStringList{"153 35 127"});
    EXPECT_FALSE(j->ckKaraoke->isChecked());
}

TEST_F(TFormPrincipalTecladoTest, DrumKeysNeverReachTheFocusedControl)
{
    j->CmbTracks->addItems({QStringLiteral("Drums1"), QStringLiteral("Drums2"), QStringLiteral("All drums")});
    j->CmbTracks->setCurrentIndex(0);
    j->CmbTracks->setEnabled(true);
    j->CmbTracks->setFocus();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->CmbTracks->hasFocus(); }));
    // Space would open the selector's list, D and A would pick another track.
    qint64 marca = AmbienteJanela::marca();
    for (const Qt::Key qual : {Qt::Key_Space, Qt::Key_D, Qt::Key_A, Qt::Key_Space})
        QTest::keyClick(j->windowHandle(), qual);
    tecla(QEvent::KeyPress, Qt::Key_Control);
    tecla(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(AmbienteJanela::notas(marca, captura),
              (QStringList{"153 35 127", "153 46 127", "153 38 127", "153 35 127", "153 44 127"}));
    EXPECT_EQ(j->CmbTracks->currentIndex(), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // Other keys still work: an arrow picks the next entry, Tab moves on, and the
    // volume slider follows its arrows.
    QTest::keyClick(j->windowHandle(), Qt::Key_Down);
    EXPECT_EQ(j->CmbTracks->currentIndex(), 1);
    QTest::keyClick(j->windowHandle(), Qt::Key_Tab);
    EXPECT_FALSE(j->CmbTracks->hasFocus());
    j->tkbVol->setFocus();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return j->tkbVol->hasFocus(); }));
    const int volume = j->tkbVol->value();
    QTest::keyClick(j->windowHandle(), Qt::Key_Down);
    EXPECT_NE(j->tkbVol->value(), volume);

    // The list opened with the mouse: the drum keys still play and pick nothing.
    j->CmbTracks->showPopup();
    ASSERT_TRUE(AmbienteJanela::esperar([&] { return QApplication::activePopupWidget() != nullptr; }));
    QWidget *lista = QApplication::activePopupWidget();
    ASSERT_TRUE(lista->windowHandle());
    marca = AmbienteJanela::marca();
    for (const Qt::Key qual : {Qt::Key_A, Qt::Key_D, Qt::Key_Space})
        QTest::keyClick(lista->windowHandle(), qual);
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), (QStringList{"153 38 127", "153 46 127", "153 35 127"}));
    EXPECT_EQ(QApplication::activePopupWidget(), lista);
    QTest::keyClick(lista->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(AmbienteJanela::esperar([&] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_EQ(j->CmbTracks->currentIndex(), 1);
}

TEST_F(TFormPrincipalTecladoTest, AKeyWhoseReleaseIsLostToAnotherWindowIsNotLeftHeld)
{
    tecla(QEvent::KeyPress, Qt::Key_A);
    ASSERT_TRUE(j->teclaPressionada(0));
    kit->chamadas.clear();
    const qint64 marca = AmbienteJanela::marca();
    QWidget outra;
    outra.show();
    QApplication::setActiveWindow(&outra);
    QCoreApplication::processEvents();
    EXPECT_FALSE(j->teclaPressionada(0));
    EXPECT_EQ(kit->chamadas, QStringList{"limpo"});
    EXPECT_TRUE(AmbienteJanela::desde(marca, captura).isEmpty());  // no note-off
    // Back in the window the key strikes again.
    QApplication::setActiveWindow(j);
    QCoreApplication::processEvents();
    tecla(QEvent::KeyPress, Qt::Key_A);
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), QStringList{"153 38 127"});
}

TEST_F(TFormPrincipalTecladoTest, PlayAlongMutesTheSongsDrumsButStillLightsTheKit)
{
    ArquivoMidiTeste midi;
    const int bateria = midi.trilha("Drums");
    const int baixo = midi.trilha("Bass");
    midi.nota(bateria, 10, 9, 38);
    midi.nota(baixo, 10, 2, 40);
    const QString caminho = AmbienteJanela::arquivo(QStringLiteral("junto.mid"));
    ASSERT_TRUE(midi.gravar(caminho));
    j->abrirMusica(caminho);
    QTest::mouseClick(j->ckKaraoke, Qt::LeftButton);
    ASSERT_TRUE(j->ckKaraoke->isChecked());
    kit->chamadas.clear();
    qint64 marca = AmbienteJanela::marca();
    Sequenciador::instancia().setPosicao(10);
    Sequenciador::instancia().processarTick();
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), QStringList{"146 40 100"});
    EXPECT_EQ(kit->chamadas, QStringList{"+38"});
    // The keyboard still plays the drums.
    marca = AmbienteJanela::marca();
    tecla(QEvent::KeyPress, Qt::Key_A);
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), QStringList{"153 38 127"});
    // Off again: the song's drums sound.
    QTest::mouseClick(j->ckKaraoke, Qt::LeftButton);
    marca = AmbienteJanela::marca();
    Sequenciador::instancia().setPosicao(10);
    Sequenciador::instancia().processarTick();
    EXPECT_EQ(AmbienteJanela::notas(marca, captura), (QStringList{"153 38 100", "146 40 100"}));
}

TEST_F(TFormPrincipalTecladoTest, TheKeyboardHelpOpensFromTheSmallKeyboardAndClosesFromItsButton)
{
    EXPECT_TRUE(j->panelTecladoEsquema->isHidden());
    for (Imagem *t : j->imagensTeclas)
        EXPECT_TRUE(t->isHidden());
    QTest::mouseClick(j->imgTecladoPequeno, Qt::LeftButton);
    EXPECT_FALSE(j->panelTecladoEsquema->isHidden());
    EXPECT_FALSE(j->panelBtnFecharAjuda->isHidden());
    EXPECT_TRUE(j->panelTecladoPequeno->isHidden());
    for (Imagem *t : j->imagensTeclas)
        EXPECT_FALSE(t->isHidden()) << t->objectName().toStdString();
    QTest::mouseClick(j->btnFecharAjudaAtalhos, Qt::LeftButton);
    EXPECT_TRUE(j->panelTecladoEsquema->isHidden());
    EXPECT_TRUE(j->panelBtnFecharAjuda->isHidden());
    EXPECT_FALSE(j->panelTecladoPequeno->isHidden());
}

TEST_F(TFormPrincipalTecladoTest, HelpTutorialAndWebButtonsOpenTheirDocumentsOrSayWhatFailed)
{
    const QString ajuda = AmbienteJanela::arquivo(AmbienteJanela::texto("(r)parametros", "caminhoAjuda"));
    const QString tutorial = AmbienteJanela::arquivo(AmbienteJanela::texto("parametros", "caminhoTutorial"));
    QFile::remove(ajuda);
    QFile::remove(tutorial);
    QTest::mouseClick(j->imgHelp, Qt::LeftButton);
    QTest::mouseClick(j->imgTutorial, Qt::LeftButton);
    EXPECT_EQ(AmbienteJanela::mensagens(), (QStringList{AmbienteJanela::texto("geral", "erroEncontrarAjuda"),
                                                        AmbienteJanela::texto("geral", "erroEncontrarTutorial")}));

    for (const QString &documento : {ajuda, tutorial}) {
        QDir().mkpath(QFileInfo(documento).path());
        QFile arquivo(documento);
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
        arquivo.write("<html></html>");
    }
    Navegadores navegador;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &navegador, "abrir");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &navegador, "abrir");
    CaixaMensagem::limparRegistros();
    QTest::mouseClick(j->imgHelp, Qt::LeftButton);
    QTest::mouseClick(j->imgTutorial, Qt::LeftButton);
    QTest::mouseClick(j->imgURL, Qt::LeftButton);
    QTest::mouseClick(j->lblURL, Qt::LeftButton);
    EXPECT_TRUE(AmbienteJanela::mensagens().isEmpty());
    ASSERT_EQ(navegador.abertos.size(), 4);
    EXPECT_EQ(navegador.abertos[0], QUrl::fromLocalFile(ajuda));
    EXPECT_EQ(navegador.abertos[1], QUrl::fromLocalFile(tutorial));
    EXPECT_EQ(navegador.abertos[2], QUrl(AmbienteJanela::texto("(r)parametros", "urlOrvalis")));
    EXPECT_EQ(navegador.abertos[3].scheme(), QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    // No browser to hand the document to: the web-site buttons say so as the help button does.
    CaixaMensagem::limparRegistros();
    QTest::mouseClick(j->imgHelp, Qt::LeftButton);
    QTest::mouseClick(j->imgURL, Qt::LeftButton);
    QTest::mouseClick(j->lblURL, Qt::LeftButton);
    const QString semNavegador = AmbienteJanela::texto("geral", "erroAbrirNavegador");
    EXPECT_EQ(AmbienteJanela::mensagens(), (QStringList{semNavegador, semNavegador, semNavegador}));
}

}

#include "TFormPrincipalTecladoTest.moc"
