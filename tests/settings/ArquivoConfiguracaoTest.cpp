#include "common/PastaTemporaria.h"
#include "platform/ArquivoPerfil.h"
#include "platform/PastaAplicacao.h"
#include "player/Instrumento.h"
#include "settings/ArquivoConfiguracao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class ArquivoConfiguracaoTest : public ::testing::Test {
protected:
    PastaTemporaria pasta{QStringList{}};

    // The values as "driver volume [idioma]".
    static std::string valores(const ArquivoConfiguracao &c)
    {
        return QStringLiteral("%1 %2 [%3]").arg(c.getDriver()).arg(c.getVolume()).arg(c.getIdioma()).toStdString();
    }
};

TEST_F(ArquivoConfiguracaoTest, TheFileIsNamedAfterTheExecutable)
{
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("Tamborly.exe"), "Tamborly.ini");
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("player.exe"), "player.ini");
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("tamborly"), "tamborly.ini");
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("tamborly-play"), "tamborly-play.ini");
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("a.b.cd"), "a.b.cd.ini");
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("ab"), "ab.ini");
    EXPECT_EQ(ArquivoConfiguracao::nomeConfiguracao("x.e-e"), "x.e-e.ini");
    // The running program's name decides, read from its folder.
    EXPECT_EQ(ArquivoConfiguracao::instancia().getNomeArquivo(),
              QFileInfo(QCoreApplication::applicationFilePath()).fileName() + QStringLiteral(".ini"));
}

TEST_F(ArquivoConfiguracaoTest, WithoutAFileTheDefaultsApplyAndSaveWritesFourLines)
{
    ArquivoConfiguracao configuracao("player.exe");
    EXPECT_EQ(valores(configuracao), "0 127 [English]");
    EXPECT_EQ(configuracao.getInstrumento(), nullptr);
    configuracao.salvar();
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=0\r\nvolume=127\r\nidioma=English\r\n");
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(pasta.caminho()).entryList(QDir::Files), QStringList{"player.ini"});
}

TEST_F(ArquivoConfiguracaoTest, ValuesAreReadWithTheProfileRules)
{
    pasta.escrever("player.ini",
             "; a comment\r\n[other]\r\ndriver=7\r\n[GERAL]\r\n  DRIVER = -1 \r\nIdioma=Portugu\xEAs\r\nVolume=+40\r\nvisualizacao=2\r\nextra=1\r\n[geral]\r\nvolume=90\r\n");
    ArquivoConfiguracao configuracao("player.exe");
    EXPECT_EQ(valores(configuracao), "-1 40 [Português]");
    configuracao.salvar();
    // The view mode and every other key are dropped; the language round-trips in Windows-1252.
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=-1\r\nvolume=40\r\nidioma=Portugu\xEAs\r\n");
}

TEST_F(ArquivoConfiguracaoTest, ALanguageNameReadsInUtf8AsWellAsWindows1252AndIsWrittenInWindows1252)
{
    const std::vector<std::pair<QByteArray, QString>> casos{
        {"[geral]\r\nidioma=Portugu\xEAs\r\n", QStringLiteral("Português")},          // Windows-1252
        {"[geral]\nidioma=Portugu\xC3\xAAs\n", QStringLiteral("Português")},           // UTF-8 from an editor
        {"\xEF\xBB\xBF[geral]\nidioma=Portugu\xC3\xAAs\n", QStringLiteral("Português")},  // with a byte-order mark
        {"[geral]\nidioma=Fran\xE7\xC3\xAAs\n", QStringLiteral("Fran\u00E7\u00C3\u00AAs")},  // not valid UTF-8: 1252
        {"[geral]\nidioma=English\n", QStringLiteral("English")},
    };
    for (const auto &[conteudo, idioma] : casos) {
        pasta.escrever("player.ini", conteudo);
        ArquivoConfiguracao configuracao("player.exe");
        EXPECT_EQ(configuracao.getIdioma(), idioma) << conteudo.constData();
    }
    pasta.escrever("player.ini", "[geral]\nidioma=Portugu\xC3\xAAs\n");
    ArquivoConfiguracao configuracao("player.exe");
    configuracao.salvar();
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=0\r\nvolume=127\r\nidioma=Portugu\xEAs\r\n");
}

TEST_F(ArquivoConfiguracaoTest, ABadNumberResetsTheNumbersButKeepsTheLanguage)
{
    struct Caso {
        QByteArray arquivo;
        std::string esperado;
    };
    const std::vector<Caso> casos{
        {"[geral]\ndriver=3\nidioma=Klingon\nvolume=loud\n", "0 127 [Klingon]"},
        {"[geral]\ndriver=abc\nidioma=Klingon\nvolume=50\n", "0 127 [Klingon]"},  // language read regardless
        {"[geral]\ndriver=3\nidioma=Klingon\nvolume=50\nvisualizacao=1.5\n", "0 127 [Klingon]"},
        {"[geral]\ndriver=\nvolume=50\n", "0 127 [English]"},                 // present but empty: not a number
        {"[geral]\ndriver=2147483648\n", "0 127 [English]"},                 // beyond 32 bits
        {"[geral]\ndriver=-2147483648\nvolume=2147483647\n", "-2147483648 2147483647 [English]"},
        {"[geral]\ndriver=3\nidioma=\nvolume=50\n", "3 50 []"},               // an empty language stays empty
        {"[geral]\ndriver=\"4\"\nvolume='60'\n", "4 60 [English]"},           // quotes are dropped
    };
    for (const Caso &caso : casos) {
        pasta.escrever("t.ini", caso.arquivo);
        ArquivoConfiguracao configuracao("t.exe");
        EXPECT_EQ(valores(configuracao), caso.esperado) << caso.arquivo.constData();
    }
}

TEST_F(ArquivoConfiguracaoTest, SettersChangeMemoryUntilSave)
{
    pasta.escrever("player.ini", "[geral]\ndriver=-1\nvolume=80\nidioma=English\n");
    ArquivoConfiguracao configuracao("player.exe");
    configuracao.setDriver(2);
    configuracao.setVolume(55);
    configuracao.setIdioma(QStringLiteral("Português"));
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\ndriver=-1\nvolume=80\nidioma=English\n");
    configuracao.salvar();
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=2\r\nvolume=55\r\nidioma=Portugu\xEAs\r\n");
    EXPECT_EQ(valores(ArquivoConfiguracao("player.exe")), "2 55 [Português]");
}

TEST_F(ArquivoConfiguracaoTest, AFolderThatCannotBeWrittenKeepsTheValuesInMemoryAndSaysSo)
{
    // Nobody, not even root, can create files in /proc: neither the application
    // folder nor the user's configuration folder there can be written.
    const QByteArray configuracaoAnterior = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/proc/tamborly-test");
    PastaAplicacao::definir(QStringLiteral("/proc"));
    ArquivoConfiguracao configuracao("player.exe");
    configuracao.setDriver(5);
    EXPECT_FALSE(configuracao.salvar());
    EXPECT_EQ(configuracao.getDriver(), 5);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/player.ini")));
    PastaAplicacao::definir(pasta.caminho());
    qputenv("XDG_CONFIG_HOME", configuracaoAnterior);
}

// A system-wide install: the program's folder cannot be written (the seam says so,
// since the tests run as root), so the settings live in $XDG_CONFIG_HOME/tamborly.
class ConfiguracaoSistemaTest : public ArquivoConfiguracaoTest {
protected:
    QTemporaryDir configuracaoUsuario;
    QByteArray configuracaoAnterior = qgetenv("XDG_CONFIG_HOME");

    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuracaoUsuario.path()));
        PastaAplicacao::definirGravavel(false);
    }
    void TearDown() override
    {
        PastaAplicacao::definirGravavel(std::nullopt);
        qputenv("XDG_CONFIG_HOME", configuracaoAnterior);
    }
    QString doUsuario(const QString &nome) const { return configuracaoUsuario.filePath(QStringLiteral("tamborly/") + nome); }
    QByteArray lerDoUsuario(const QString &nome) const
    {
        QFile arquivo(doUsuario(nome));
        return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray("<missing>");
    }
    void escreverDoUsuario(const QString &nome, const QByteArray &conteudo) const
    {
        QDir().mkpath(QFileInfo(doUsuario(nome)).absolutePath());
        QFile arquivo(doUsuario(nome));
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
        arquivo.write(conteudo);
    }
};

TEST_F(ConfiguracaoSistemaTest, SettingsAreSavedInTheUsersFolderAndReadFromThereFirst)
{
    // First start of a user: no folder of their own yet; the one beside the program
    // (a default an administrator put there) is read, never written.
    const QByteArray padraoAdministrador = "[geral]\r\ndriver=-1\r\nvolume=60\r\nidioma=English\r\n";
    pasta.escrever("player.ini", padraoAdministrador);
    {
        ArquivoConfiguracao configuracao("player.exe");
        EXPECT_EQ(valores(configuracao), "-1 60 [English]");
        configuracao.setDriver(2);
        EXPECT_TRUE(configuracao.salvar());
    }
    EXPECT_EQ(lerDoUsuario("player.ini"), "[geral]\r\ndriver=2\r\nvolume=60\r\nidioma=English\r\n");
    EXPECT_EQ(pasta.ler("player.ini"), padraoAdministrador);
    // From now on the user's own file wins over the one beside the program.
    EXPECT_EQ(valores(ArquivoConfiguracao("player.exe")), "2 60 [English]");

    // Without a file beside the program either: the defaults, saved to the user's folder.
    QFile::remove(pasta.arquivo("player.ini"));
    QFile::remove(doUsuario("player.ini"));
    ArquivoConfiguracao nova("player.exe");
    EXPECT_EQ(valores(nova), "0 127 [English]");
    EXPECT_TRUE(nova.salvar());
    EXPECT_EQ(lerDoUsuario("player.ini"), "[geral]\r\ndriver=0\r\nvolume=127\r\nidioma=English\r\n");
    EXPECT_TRUE(QDir(pasta.caminho()).entryList(QDir::Files).isEmpty());
}

TEST_F(ConfiguracaoSistemaTest, AWritableProgramFolderKeepsItsSettingsBesideTheProgram)
{
    escreverDoUsuario("player.ini", "[geral]\r\ndriver=4\r\n");
    pasta.escrever("player.ini", "[geral]\r\ndriver=1\r\n");
    PastaAplicacao::definirGravavel(true);
    ArquivoConfiguracao configuracao("player.exe");
    EXPECT_EQ(configuracao.getDriver(), 1);
    configuracao.setDriver(3);
    EXPECT_TRUE(configuracao.salvar());
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=3\r\nvolume=127\r\nidioma=English\r\n");
    EXPECT_EQ(lerDoUsuario("player.ini"), "[geral]\r\ndriver=4\r\n");
}

TEST_F(ConfiguracaoSistemaTest, LeftoversAreRemovedFromTheFolderTheSavesGoTo)
{
    escreverDoUsuario("player.ini", "[geral]\r\ndriver=3\r\n");
    escreverDoUsuario("player.ini.a1B2c3", "[geral]\n");
    pasta.escrever("player.ini.d4E5f6", "[geral]\n");  // not ours to touch: that folder is read-only
    EXPECT_EQ(ArquivoConfiguracao("player.exe").getDriver(), 3);
    EXPECT_EQ(QDir(QFileInfo(doUsuario("x")).absolutePath()).entryList(QDir::Files), QStringList{"player.ini"});
    EXPECT_TRUE(QFile::exists(pasta.arquivo("player.ini.d4E5f6")));
}

TEST_F(ArquivoConfiguracaoTest, SaveReplacesTheFileWholeAndNeverWritesThroughIt)
{
    pasta.escrever("player.ini", "[geral]\ndriver=1\n");
    // A hard link to the old file keeps the old content: the new file is a
    // separate one, renamed over the old name.
    ASSERT_EQ(::link(QFile::encodeName(pasta.arquivo("player.ini")).constData(),
                     QFile::encodeName(pasta.arquivo("antigo.ini")).constData()), 0);
    ArquivoConfiguracao configuracao("player.exe");
    configuracao.salvar();
    EXPECT_EQ(pasta.ler("antigo.ini"), "[geral]\ndriver=1\n");
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=1\r\nvolume=127\r\nidioma=English\r\n");
}

TEST_F(ArquivoConfiguracaoTest, PracticeSettingsComeAfterTheFourLinesOnlyWhenChanged)
{
    ArquivoConfiguracao configuracao("player.exe");
    ArquivoConfiguracao::Pratica pratica = configuracao.getPratica();
    EXPECT_FALSE(pratica.contagem || pratica.metronomo || pratica.treino);
    pratica.contagem = true;
    pratica.volumeMetronomo = 0;
    pratica.treinoInicio = 300;  // brought into 25..200
    pratica.treinoPasso = 0;     // at least 1
    configuracao.setPratica(pratica);
    configuracao.salvar();
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=0\r\nvolume=127\r\nidioma=English\r\n"
                                 "contagem=1\r\nvolumeMetronomo=0\r\ntreinoInicio=200\r\ntreinoPasso=1\r\n");
    const ArquivoConfiguracao::Pratica lida = ArquivoConfiguracao("player.exe").getPratica();
    EXPECT_TRUE(lida.contagem);
    EXPECT_FALSE(lida.metronomo);
    EXPECT_EQ(lida.volumeMetronomo, 0);
    EXPECT_EQ(lida.treinoInicio, 200);
    EXPECT_EQ(lida.treinoPasso, 1);
    EXPECT_EQ(lida.treinoAlvo, 100);

    // A bad practice value takes its own default and touches nothing else, and
    // a bad spec number leaves the practice keys read.
    pasta.escrever("t.ini", "[geral]\ndriver=3\nvolume=50\nidioma=X\nmetronomo=yes\ntreino=1\ntreinoAlvo=150\nvolumeMetronomo=-5\n");
    ArquivoConfiguracao boa("t.exe");
    EXPECT_EQ(valores(boa), "3 50 [X]");
    EXPECT_FALSE(boa.getPratica().metronomo);
    EXPECT_TRUE(boa.getPratica().treino);
    EXPECT_EQ(boa.getPratica().treinoAlvo, 150);
    EXPECT_EQ(boa.getPratica().volumeMetronomo, 0);
    pasta.escrever("t.ini", "[geral]\ndriver=3\nvolume=loud\ncontagem=1\n");
    ArquivoConfiguracao ruim("t.exe");
    EXPECT_EQ(valores(ruim), "0 127 [English]");
    EXPECT_TRUE(ruim.getPratica().contagem);
}

// A full disk is a write that fails part way: the file-size limit makes the
// kernel refuse bytes beyond it exactly as a full disk would.
TEST_F(ArquivoConfiguracaoTest, AFailingWriteKeepsTheOldFileAndLeavesNothingBehind)
{
    const QByteArray antigo = "[geral]\r\ndriver=2\r\nvolume=90\r\nidioma=English\r\n";
    pasta.escrever("player.ini", antigo);
    ArquivoConfiguracao configuracao("player.exe");
    configuracao.setIdioma(QString(200, QLatin1Char('x')));
    struct rlimit anterior {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &anterior), 0);
    const auto sinalAnterior = ::signal(SIGXFSZ, SIG_IGN);
    for (const rlim_t limite : {rlim_t(0), rlim_t(10), rlim_t(100)}) {
        struct rlimit pequeno = anterior;
        pequeno.rlim_cur = limite;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &pequeno), 0);
        const bool salvo = configuracao.salvar();
        ::setrlimit(RLIMIT_FSIZE, &anterior);
        EXPECT_FALSE(salvo) << limite;
        EXPECT_EQ(pasta.ler("player.ini"), antigo) << limite;
        EXPECT_EQ(QDir(pasta.caminho()).entryList(QDir::Files | QDir::Hidden), QStringList{"player.ini"}) << limite;
    }
    ::signal(SIGXFSZ, sinalAnterior);
    EXPECT_TRUE(configuracao.salvar());  // room again: saved whole
    EXPECT_EQ(pasta.ler("player.ini").size(), 239);
}

TEST_F(ArquivoConfiguracaoTest, LeftoversOfAKilledSaveAreRemovedAtTheNextStart)
{
    pasta.escrever("player.ini", "[geral]\ndriver=3\n");
    for (const char *nome : {"player.ini.a1B2c3", "player.ini.ZZZZZZ", "player.ini.bak", "player.ini.a1B2c3d", "other.ini.a1B2c3"})
        pasta.escrever(nome, "[geral]\n");
    ArquivoConfiguracao configuracao("player.exe");
    EXPECT_EQ(configuracao.getDriver(), 3);
    QStringList restantes = QDir(pasta.caminho()).entryList(QDir::Files);
    restantes.sort();
    EXPECT_EQ(restantes, (QStringList{"other.ini.a1B2c3", "player.ini", "player.ini.a1B2c3d", "player.ini.bak"}));
}

TEST_F(ArquivoConfiguracaoTest, TrackFlagsCoverSixteenTracksAndTheInstrumentIsOwned)
{
    ArquivoConfiguracao configuracao("player.exe");
    configuracao.setCanalAtivo(false, 3);
    EXPECT_FALSE(configuracao.canalAtivo(3));
    EXPECT_TRUE(configuracao.canalAtivo(2));
    configuracao.setCanalAtivo(true, 3);
    EXPECT_TRUE(configuracao.canalAtivo(3));
    for (const int fora : {16, 17, 1000, -1}) {
        configuracao.setCanalAtivo(false, fora);
        EXPECT_TRUE(configuracao.canalAtivo(fora)) << fora;
    }
    configuracao.criarInstrumento(0);
    Instrumento *primeiro = configuracao.getInstrumento();
    ASSERT_NE(primeiro, nullptr);
    auto outro = std::make_unique<Instrumento>();
    Instrumento *endereco = outro.get();
    configuracao.setInstrumento(std::move(outro));
    EXPECT_EQ(configuracao.getInstrumento(), endereco);
}

TEST(ArquivoPerfilTest, LookupsFollowTheProfileRules)
{
    PastaTemporaria pasta{QStringList{}};
    QFile arquivo(pasta.arquivo("p.ini"));
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("solto=1\n[Um]\nA=1\n a = 2\nB\n=3\nC=\"x y\"\nD=\"x\n[dois]\nK=v=w\n[UM]\nE=5\n");
    arquivo.close();
    const ArquivoPerfil perfil(pasta.arquivo("p.ini"));
    EXPECT_EQ(perfil.lerTexto("um", "a", "-"), "1");  // the first key of the first section wins
    EXPECT_EQ(perfil.lerTexto("UM", "C", "-"), "x y");
    EXPECT_EQ(perfil.lerTexto("um", "D", "-"), "\"x");
    EXPECT_EQ(perfil.lerTexto("um", "E", "-"), "-");  // a repeated section is not searched
    EXPECT_EQ(perfil.lerTexto("um", "B", "-"), "-");  // a line without "=" is no key
    EXPECT_EQ(perfil.lerTexto("dois", "k", "-"), "v=w");
    EXPECT_EQ(perfil.lerTexto("", "solto", "-"), "-");  // keys before any section belong to none
    EXPECT_EQ(perfil.secoes(), (QStringList{"Um", "dois"}));
    EXPECT_EQ(perfil.chaves("um"), (QStringList{"A", "a", "C", "D"}));
    EXPECT_EQ(ArquivoPerfil(pasta.arquivo("missing.ini")).lerTexto("um", "a", "default"), "default");
}

}  // namespace

TEST_F(ArquivoConfiguracaoTest, TheKitIsKeptByNameAfterTheFourLines)
{
    // A bad volume resets the numbers but not the kit's keys; a latency that is not a
    // number within a second reads as 0.
    pasta.escrever("player.ini", "[geral]\r\ndriver=2\r\nvolume=loud\r\nidioma=English\r\nentrada=Kit A: pads\r\n"
                           "somKit=1\r\nlatencia=12.5\r\nlatenciaDispersao=-3.25\r\n");
    {
        ArquivoConfiguracao configuracao("player.exe");
        EXPECT_EQ(configuracao.getEntrada(), "Kit A: pads");
        EXPECT_TRUE(configuracao.getSomKit());
        EXPECT_DOUBLE_EQ(configuracao.getLatencia(), 12.5);
        EXPECT_DOUBLE_EQ(configuracao.getLatenciaDispersao(), 3.25);
        configuracao.setLatencia(-7.04, 2.0);
        configuracao.salvar();
    }
    EXPECT_EQ(pasta.ler("player.ini"), "[geral]\r\ndriver=0\r\nvolume=127\r\nidioma=English\r\nentrada=Kit A: pads\r\n"
                                 "somKit=1\r\nlatencia=-7.0\r\nlatenciaDispersao=2.0\r\n");
    for (const char *ruim : {"latencia=abc", "latencia=5000", "latencia=nan"}) {
        pasta.escrever("player.ini", QByteArray("[geral]\r\n") + ruim + "\r\n");
        ArquivoConfiguracao configuracao("player.exe");
        EXPECT_DOUBLE_EQ(configuracao.getLatencia(), 0.0) << ruim;
        EXPECT_TRUE(configuracao.getEntrada().isEmpty());
        EXPECT_FALSE(configuracao.getSomKit());
    }
}
