// Start-up runs once per process and its singletons keep what the first run
// read, so every scenario runs in a child process of its own (a death test in
// the "threadsafe" style re-runs this executable for just that scenario) and
// reports back through its exit code and its error output.

#include "common/PastaTemporaria.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "player/AplicacaoTamborly.h"
#include "player/EAbort.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "sonomidi/TSonoMidiSync.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

#define CONFERIR(condicao)                                                            \
    do {                                                                              \
        if (!(condicao)) {                                                            \
            std::fprintf(stderr, "falhou: %s (linha %d)\n", #condicao, __LINE__);     \
            return 1;                                                                 \
        }                                                                             \
    } while (0)

// The top-level windows in the order they were first shown, with the time.
class RegistroJanelas : public QObject {
public:
    RegistroJanelas()
    {
        qApp->installEventFilter(this);
        // A start-up that wrongly goes on to the event loop ends after a while
        // (the scenario then fails) instead of hanging.
        QTimer::singleShot(30000, this, [] {
            for (QWidget *janela : QApplication::topLevelWidgets())
                janela->close();
            QCoreApplication::exit(0);
        });
    }
    QStringList nomes;
    QList<qint64> tempos;
    QElapsedTimer relogio;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (evento->type() == QEvent::Show && objeto->isWidgetType() && static_cast<QWidget *>(objeto)->isWindow()
            && !nomes.contains(objeto->objectName())) {
            nomes.append(objeto->objectName());
            tempos.append(relogio.elapsed());
        }
        return false;
    }
};

QString nomeIni()
{
    return ArquivoConfiguracao::nomeConfiguracao(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

void gravarIni(const PastaTemporaria &pasta, const QByteArray &conteudo)
{
    QFile arquivo(pasta.arquivo(nomeIni()));
    if (arquivo.open(QIODevice::WriteOnly))
        arquivo.write(conteudo);
}

QStringList textosRegistrados()
{
    QStringList textos;
    for (const CaixaMensagem::Registro &r : CaixaMensagem::registros())
        textos.append(r.texto);
    return textos;
}

QString texto(const char *secao, const char *chave)
{
    return GerenciadorIdiomas::instancia()->obterTexto(QString::fromLatin1(secao), QString::fromLatin1(chave));
}

const QStringList tudo{QStringLiteral("libSnMidi32.so"), QStringLiteral("English.idm"), QStringLiteral("English.dat"),
                       QStringLiteral("Portugues.idm"), QStringLiteral("Portugues.dat")};

int partidaNormal()
{
    qputenv("SNMIDI32_AUDIO", "null");
    PastaTemporaria pasta(tudo);
    gravarIni(pasta, "[geral]\r\ndriver=0\r\nvolume=80\r\nidioma=english\r\n");
    CaixaMensagem::gravar(true, true);
    RegistroJanelas registro;
    registro.relogio.start();
    bool conferido = false;
    bool dialogosCriados = false;
    QString titulo;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        for (QWidget *janela : QApplication::topLevelWidgets()) {
            auto *principal = qobject_cast<TFormPrincipal *>(janela);
            if (!principal || !principal->isVisible() || !principal->dispositivoIniciado() || conferido)
                continue;
            conferido = true;
            dialogosCriados = TFormSetup::FormSetup() && TFormSetup::FormSetup()->parent() == principal
                              && TformAssistenteConfiguracaoDriver::formAssistenteConfiguracaoDriver();
            titulo = principal->windowTitle();
            principal->close();
        }
    });
    vigia.start(50);
    CONFERIR(AplicacaoTamborly::executar() == 0);
    CONFERIR(conferido);
    CONFERIR(dialogosCriados);
    // The splash first, painted and held for a second, then the player window.
    CONFERIR(registro.nomes.value(0) == QStringLiteral("formSplash"));
    CONFERIR(registro.nomes.value(1) == QStringLiteral("FormPrincipal"));
    CONFERIR(registro.tempos.value(1) - registro.tempos.value(0) >= 1000);
    CONFERIR(titulo == texto("geral", "tituloGeral"));
    CONFERIR(AplicacaoTamborly::titulo() == titulo);
    // Only the close question was asked; Yes wrote the language in use, not the stored "english".
    CONFERIR(textosRegistrados() == QStringList{texto("frmPrincipal", "closeQuery")});
    QFile ini(pasta.arquivo(nomeIni()));
    CONFERIR(ini.open(QIODevice::ReadOnly));
    CONFERIR(ini.readAll() == QByteArray("[geral]\r\ndriver=0\r\nvolume=80\r\nidioma=English\r\n"));
    // The event loop's end closed the clock and the port before the static teardown.
    CONFERIR(!Sequenciador::instancia().getSincronizador()->IsOpen());
    CONFERIR(!SaidaMIDI::instancia().dispositivoAberto());
    std::fprintf(stderr, "cenario-ok\n");
    return 0;
}

int semIdiomas()
{
    PastaTemporaria pasta({QStringLiteral("libSnMidi32.so")});
    CaixaMensagem::gravar(true, true);
    RegistroJanelas registro;
    CONFERIR(AplicacaoTamborly::executar() == 0);
    CONFERIR(textosRegistrados()
             == QStringList{QStringLiteral("No language files were found. Please, reinstall your software.")});
    CONFERIR(registro.nomes.isEmpty());
    std::fprintf(stderr, "cenario-ok\n");
    return 0;
}

int outraResolucao()
{
    PastaTemporaria pasta(tudo);
    CaixaMensagem::gravar(true, true);
    RegistroJanelas registro;
    CONFERIR(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()) == 120);
    CONFERIR(AplicacaoTamborly::executar() == 0);
    CONFERIR(textosRegistrados() == QStringList{texto("geral", "erroPPP")});
    CONFERIR(CaixaMensagem::registros().first().titulo == texto("geral", "nomeAplicacao"));
    CONFERIR(registro.nomes.isEmpty());  // not even the splash
    std::fprintf(stderr, "cenario-ok\n");
    return 0;
}

int erroNaPartida()
{
    // The language file vanishes between discovery and loading: its error escapes
    // start-up and reaches the top-level handler, with no language loaded.
    PastaTemporaria pasta(tudo);
    CaixaMensagem::gravar(true, true);
    GerenciadorIdiomas::instancia();
    CONFERIR(QFile::remove(pasta.arquivo(QStringLiteral("English.idm"))));
    RegistroJanelas registro;
    CONFERIR(AplicacaoTamborly::executar() == 0);
    CONFERIR(CaixaMensagem::registros().size() == 1);
    const QString mensagem = CaixaMensagem::registros().first().texto;
    std::fprintf(stderr, "mensagem: %s\n", qPrintable(mensagem));
    CONFERIR(mensagem.startsWith(QStringLiteral("An error has occurred in your application.\n")));
    CONFERIR(mensagem.contains(QStringLiteral(".\n\nError information:\n\" EFOpenError (")));
    CONFERIR(mensagem.endsWith(QStringLiteral("), v1.0.0.0 \"")));
    CONFERIR(CaixaMensagem::registros().first().titulo == QStringLiteral("Cordelune"));
    CONFERIR(registro.nomes.isEmpty());
    std::fprintf(stderr, "cenario-ok\n");
    return 0;
}

int relatosSemIdioma()
{
    PastaTemporaria pasta({QStringLiteral("libSnMidi32.so")});
    CaixaMensagem::gravar(true, true);
    CONFERIR(!GerenciadorIdiomas::instancia()->idiomaCarregado());
    const QString base = QStringLiteral("An error has occurred in your application.\nIf the problem persist, please "
                                        "contact us: support@tamborly.example.org.");
    const auto familia = std::make_exception_ptr(std::out_of_range("vector"));
    AplicacaoTamborly::Relato r = AplicacaoTamborly::relatoErroFatal(familia, QStringLiteral("1.0.0.0"));
    CONFERIR(r.titulo == QStringLiteral("Cordelune"));
    CONFERIR(r.texto == base + QStringLiteral("\n\nError information:\n\" std::out_of_range (vector), v1.0.0.0 \""));
    r = AplicacaoTamborly::relatoErroFatal(familia, QString());
    CONFERIR(r.texto == base + QStringLiteral("\n\nError information:\n\" std::out_of_range (vector) \""));
    const auto outro = std::make_exception_ptr(42);
    r = AplicacaoTamborly::relatoErroFatal(outro, QStringLiteral("1.0.0.0"));
    CONFERIR(r.titulo == QStringLiteral("Cordelune"));
    CONFERIR(r.texto == base + QStringLiteral("\n\nError information:\n\" v1.0.0.0 \""));
    CONFERIR(AplicacaoTamborly::relatoErroFatal(outro, QString()).texto == base);
    std::fprintf(stderr, "cenario-ok\n");
    return 0;
}

class InicializacaoTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(InicializacaoTest, StartsInOrderAndClosingWithYesWritesTheLanguageInUse)
{
    EXPECT_EXIT(std::exit(partidaNormal()), testing::ExitedWithCode(0), "cenario-ok");
}

TEST_F(InicializacaoTest, WithoutLanguageFilesOnlyTheLanguageMessageAppears)
{
    EXPECT_EXIT(std::exit(semIdiomas()), testing::ExitedWithCode(0), "cenario-ok");
}

TEST_F(InicializacaoTest, AScreenAt120PixelsPerInchGetsTheMessageAndNoWindow)
{
    // How a refused screen is simulated: without high-DPI scaling the font DPI is the screen's.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "120");
    EXPECT_EXIT(std::exit(outraResolucao()), testing::ExitedWithCode(0), "cenario-ok");
    qunsetenv("QT_ENABLE_HIGHDPI_SCALING");
    qunsetenv("QT_FONT_DPI");
}

TEST_F(InicializacaoTest, AnErrorEscapingStartUpIsReportedWithItsClassMessageAndVersion)
{
    EXPECT_EXIT(std::exit(erroNaPartida()), testing::ExitedWithCode(0), "cenario-ok");
}

TEST_F(InicializacaoTest, WithNoLanguageTheReportIsTheFixedEnglishText)
{
    EXPECT_EXIT(std::exit(relatosSemIdioma()), testing::ExitedWithCode(0), "cenario-ok");
}

TEST(ErroDoLacoTest, TheEventLoopReportsTheMessageWithAFullStopAndSkipsTheSilentError)
{
    using A = AplicacaoTamborly;
    EXPECT_EQ(A::mensagemErroDoLaco(std::make_exception_ptr(std::runtime_error("sync not open"))),
              QStringLiteral("sync not open."));
    EXPECT_EQ(A::mensagemErroDoLaco(std::make_exception_ptr(std::runtime_error("Done."))), QStringLiteral("Done."));
    // "!" sorts before ".", so no full stop; letters after it get one.
    EXPECT_EQ(A::mensagemErroDoLaco(std::make_exception_ptr(std::runtime_error("Stop!"))), QStringLiteral("Stop!"));
    EXPECT_EQ(A::mensagemErroDoLaco(std::make_exception_ptr(std::runtime_error(""))), QString());
    EXPECT_FALSE(A::mensagemErroDoLaco(std::make_exception_ptr(EAbort())).has_value());
    EXPECT_FALSE(A::mensagemErroDoLaco(std::make_exception_ptr(42)).value().isEmpty());
}

}
