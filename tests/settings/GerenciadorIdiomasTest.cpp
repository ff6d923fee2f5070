#include "settings/GerenciadorIdiomas.h"
#include "settings/IdiomaPadrao.h"

#include "ArquivosIdioma.h"
#include "common/PastaTemporaria.h"
#include "platform/CaixaMensagem.h"
#include "settings/EFOpenError.h"
#include "settings/Idioma.h"
#include "settings/TformListaIdiomas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using ArquivosIdioma::gravar;
using ArquivosIdioma::idioma;

namespace {

const QString semArquivos = QStringLiteral("No language files were found. Please, reinstall your software.");
const QString naoEncontrado =
    QStringLiteral("The language you have selected was not found. Please, select another one.");
const QString semSelecao =
    QStringLiteral("The application could not be initialized because no language was selected.");

class GerenciadorIdiomasTest : public ::testing::Test {
protected:
    void SetUp() override { CaixaMensagem::gravar(true); }
    void TearDown() override { CaixaMensagem::gravar(false); }

    QStringList textosMostrados() const
    {
        QStringList textos;
        for (const CaixaMensagem::Registro &r : CaixaMensagem::registros()) {
            EXPECT_EQ(r.titulo, "Internationalization");
            textos.append(r.texto);
        }
        return textos;
    }

    // Answers the chooser when it shows: records what it lists and selects, then
    // picks a row and presses OK, or cancels with -1, or presses OK on the
    // selection it shows with okComoMostrado.
    void responderEscolha(int linha)
    {
        auto *temporizador = new QTimer(qApp);
        QObject::connect(temporizador, &QTimer::timeout, [this, temporizador, linha] {
            auto *dialogo = qobject_cast<TformListaIdiomas *>(QApplication::activeModalWidget());
            if (!dialogo)
                return;
            temporizador->stop();
            temporizador->deleteLater();
            QListWidget *lista = dialogo->getListaIdiomas();
            for (int i = 0; i < lista->count(); ++i)
                listados.append(lista->item(i)->text());
            linhaInicial = lista->selectedItems().isEmpty() ? -1 : lista->row(lista->selectedItems().first());
            ++escolhasMostradas;
            if (linha == okComoMostrado) {
                dialogo->getBtnOk()->click();
            } else if (linha < 0) {
                dialogo->getBtnCancelar()->click();
            } else {
                lista->setCurrentRow(linha);
                dialogo->getBtnOk()->click();
            }
        });
        temporizador->start(10);
    }

    static constexpr int okComoMostrado = -100;
    PastaTemporaria pasta {QStringList()};
    QStringList listados;
    int linhaInicial = -2;
    int escolhasMostradas = 0;
};

}

TEST_F(GerenciadorIdiomasTest, WithoutLanguageFilesOneMessageAndTheApplicationStops)
{
    gravar(pasta.arquivo("English.dat"), "no text file beside it");
    GerenciadorIdiomas gerenciador;
    EXPECT_TRUE(gerenciador.getEncerrando());
    EXPECT_EQ(gerenciador.selecionarIdioma("English"), nullptr);
    EXPECT_EQ(gerenciador.selecionarIdioma("Klingon"), nullptr);
    EXPECT_EQ(textosMostrados(), QStringList {semArquivos});
    EXPECT_EQ(escolhasMostradas, 0);
    EXPECT_FALSE(gerenciador.idiomaCarregado());
    EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), QString());
    EXPECT_TRUE(gerenciador.obterImagem("frmPrincipal", "imgURL").isNull());
}

TEST_F(GerenciadorIdiomasTest, DiscoveryKeepsValidFilesInByteOrderWithAnyExtensionCase)
{
    gravar(pasta.arquivo("b.idm"), idioma("Beta"));
    gravar(pasta.arquivo("A.IDM"), idioma("Alfa"));                       // upper case sorts first
    gravar(pasta.arquivo("c.idm"), idioma("Gama", "tamborly"));           // code differs in case
    gravar(pasta.arquivo("d.idm"), idioma("", "Tamborly"));               // no display name
    gravar(pasta.arquivo("e.idm"), ArquivosIdioma::texto("[geral]\nnomeIdioma=Eta\n"));  // no header
    gravar(pasta.arquivo(".f.idm"), idioma("Oculto"));                    // hidden
    gravar(pasta.arquivo("g.idm.txt"), idioma("Texto"));
    gravar(pasta.arquivo("h.idmx"), idioma("Longa"));
    gravar(pasta.arquivo("i.idm"), ArquivosIdioma::texto("[especificacaoidioma]\nNOMEIDIOMA = Iota \nCODAPLICACAO=Tamborly\n"));
    QDir(pasta.caminho()).mkdir("pasta.idm");
    GerenciadorIdiomas gerenciador;
    EXPECT_EQ(gerenciador.getNomes(), (QStringList {"Alfa", "Beta", "Iota"}));
    EXPECT_EQ(gerenciador.getArquivos(), (QStringList {"A", "b", "i"}));
    EXPECT_FALSE(gerenciador.getEncerrando());
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
    // The upper-case file loads although its extension is not "idm".
    ASSERT_NE(gerenciador.selecionarIdioma("alfa"), nullptr);
    EXPECT_EQ(gerenciador.getNomeIdioma(), "Alfa");
}

TEST_F(GerenciadorIdiomasTest, SelectionByNameIgnoresCaseAndTakesTheFirstOfTwins)
{
    gravar(pasta.arquivo("English.idm"), idioma("English", "Tamborly", "first"));
    gravar(pasta.arquivo("English2.idm"), idioma("English", "Tamborly", "second"));
    gravar(pasta.arquivo("Portugues.idm"), idioma("Português", "Tamborly", "pt"));
    GerenciadorIdiomas gerenciador;
    EXPECT_EQ(gerenciador.getNomes(), (QStringList {"English", "English", "Português"}));
    EXPECT_EQ(gerenciador.getNomeIdioma(), QString());
    Idioma *carregado = gerenciador.selecionarIdioma("english");
    ASSERT_NE(carregado, nullptr);
    EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), "first");
    EXPECT_TRUE(gerenciador.idiomaCarregado());
    EXPECT_EQ(gerenciador.getIndiceAtual(), 0);
    Idioma *portugues = gerenciador.selecionarIdioma("PORTUGUÊS");
    EXPECT_EQ(portugues, gerenciador.getIdiomaAtual());
    EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), "pt");
    EXPECT_EQ(gerenciador.getNomeIdioma(), "Português");
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
}

TEST_F(GerenciadorIdiomasTest, LoadingByIndexReadsOnlyWhatChanged)
{
    gravar(pasta.arquivo("a.idm"), idioma("A", "Tamborly", "a"));
    gravar(pasta.arquivo("b.idm"), idioma("B", "Tamborly", "b"));
    GerenciadorIdiomas gerenciador;
    Idioma *a = gerenciador.carregar(0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(gerenciador.carregar(2), nullptr);          // beyond the last: nothing changes
    EXPECT_EQ(gerenciador.carregar(-1), nullptr);
    EXPECT_EQ(gerenciador.getIdiomaAtual(), a);
    QFile::remove(pasta.arquivo("a.idm"));
    EXPECT_EQ(gerenciador.carregar(0), a);                // the current one is not read again
    // A text file that vanished after discovery raises, and the current language stays.
    QFile::remove(pasta.arquivo("b.idm"));
    EXPECT_THROW(gerenciador.carregar(1), EFOpenError);
    EXPECT_EQ(gerenciador.getIdiomaAtual(), a);
    EXPECT_EQ(gerenciador.getIndiceAtual(), 0);
    EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), "a");
}

TEST_F(GerenciadorIdiomasTest, AStoredLanguageThatIsMissingShowsTheChooserAndRemembersTheChoice)
{
    gravar(pasta.arquivo("English.idm"), idioma("English", "Tamborly", "en"));
    gravar(pasta.arquivo("Portugues.idm"), idioma("Português", "Tamborly", "pt"));
    GerenciadorIdiomas gerenciador;
    responderEscolha(1);
    Idioma *escolhido = gerenciador.selecionarIdioma("Klingon");
    EXPECT_EQ(escolhasMostradas, 1);
    EXPECT_EQ(listados, (QStringList {"English", "Português"}));
    EXPECT_EQ(linhaInicial, 0);  // the first language, so that OK chooses one
    ASSERT_NE(escolhido, nullptr);
    EXPECT_EQ(escolhido, gerenciador.getIdiomaAtual());
    EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), "pt");
    // The name start-up hands to the settings, so the next save keeps the choice.
    EXPECT_EQ(gerenciador.getNomeIdioma(), "Português");
    EXPECT_EQ(textosMostrados(), QStringList {naoEncontrado});
    EXPECT_FALSE(gerenciador.getEncerrando());

    // Choosing again starts with the loaded language selected.
    responderEscolha(0);
    EXPECT_TRUE(gerenciador.escolherIdioma());
    EXPECT_EQ(linhaInicial, 1);
    EXPECT_EQ(gerenciador.getNomeIdioma(), "English");
}

TEST_F(GerenciadorIdiomasTest, OkOnTheChooserAsItOpensLoadsTheFirstLanguage)
{
    gravar(pasta.arquivo("English.idm"), idioma("English", "Tamborly", "en"));
    gravar(pasta.arquivo("Portugues.idm"), idioma("Português", "Tamborly", "pt"));
    GerenciadorIdiomas gerenciador;
    responderEscolha(okComoMostrado);
    ASSERT_NE(gerenciador.selecionarIdioma("Klingon"), nullptr);
    EXPECT_EQ(gerenciador.getNomeIdioma(), "English");
    EXPECT_FALSE(gerenciador.getEncerrando());
    EXPECT_EQ(textosMostrados(), QStringList {naoEncontrado});
}

TEST_F(GerenciadorIdiomasTest, CancellingTheChooserEndsTheApplication)
{
    gravar(pasta.arquivo("English.idm"), idioma("English"));
    GerenciadorIdiomas gerenciador;
    responderEscolha(-1);
    EXPECT_EQ(gerenciador.selecionarIdioma(""), nullptr);
    EXPECT_EQ(escolhasMostradas, 1);
    EXPECT_EQ(textosMostrados(), (QStringList {naoEncontrado, semSelecao}));
    EXPECT_TRUE(gerenciador.getEncerrando());
    EXPECT_FALSE(gerenciador.idiomaCarregado());
    EXPECT_EQ(gerenciador.getNomeIdioma(), QString());
}

TEST_F(GerenciadorIdiomasTest, TheSingleManagerDiscoversOnFirstUse)
{
    gravar(pasta.arquivo("English.idm"), idioma("English"));
    GerenciadorIdiomas::descartarInstancia();
    GerenciadorIdiomas *unico = GerenciadorIdiomas::instancia();
    EXPECT_EQ(GerenciadorIdiomas::instancia(), unico);
    EXPECT_EQ(unico->getNomes(), QStringList {"English"});
    GerenciadorIdiomas::descartarInstancia();
}

// The windows' lookups go to the single manager's current language; a label gets the
// file's line breaks ("#" in a value, read as CR LF) as bare line feeds, a message box
// the text as the file gives it.
TEST_F(GerenciadorIdiomasTest, TheWindowsLookupsReadTheCurrentLanguageAndLabelsGetBareLineFeeds)
{
    gravar(pasta.arquivo("English.idm"),
           ArquivosIdioma::texto(QStringLiteral("[EspecificacaoIdioma]\nnomeIdioma=English\ncodAplicacao=Tamborly\n"
                                                "[frmTeste]\nlinhas=um#dois#tr\u00eas\nsimples=Play\n")));
    GerenciadorIdiomas::descartarInstancia();
    ASSERT_NE(GerenciadorIdiomas::instancia()->selecionarIdioma("English"), nullptr);
    EXPECT_EQ(GerenciadorIdiomas::texto("frmTeste", "linhas"), QStringLiteral("um\r\ndois\r\ntr\u00eas"));
    EXPECT_EQ(GerenciadorIdiomas::textoDeRotulo("frmTeste", "linhas"), QStringLiteral("um\ndois\ntr\u00eas"));
    EXPECT_EQ(GerenciadorIdiomas::textoDeRotulo("frmTeste", "simples"), QStringLiteral("Play"));
    EXPECT_EQ(GerenciadorIdiomas::texto("frmTeste", "nada"), QString());
    EXPECT_EQ(GerenciadorIdiomas::textoDeRotulo("frmTeste", "nada"), QString());
    GerenciadorIdiomas::descartarInstancia();
}

// A header-only file that names itself English cannot take the installed
// English's place; a language that lacks keys still answers every text the
// program needs, in the built-in English.
TEST_F(GerenciadorIdiomasTest, AStrayFileCannotHijackALanguageAndMissingTextsFallBackToEnglish)
{
    PastaTemporaria instalada{QStringList{"English.idm", "English.dat"}};
    gravar(instalada.arquivo("Aaa.idm"), idioma("english", "Tamborly", "stray"));
    gravar(instalada.arquivo("Zzz.idm"), idioma("Klingon", "Tamborly", "tlh"));
    {
        GerenciadorIdiomas gerenciador;
        EXPECT_EQ(gerenciador.getNomes(), (QStringList{"English", "Klingon"}));
        EXPECT_EQ(textosMostrados(), QStringList{"The language file \"Aaa.idm\" is incomplete and was skipped: another file "
                                                 "of the language \"english\" is used instead."});
        ASSERT_NE(gerenciador.selecionarIdioma("English"), nullptr);
        EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), QString());  // not the stray's
        EXPECT_EQ(gerenciador.obterTexto("frmPrincipal", "Play"), "Play");

        // Klingon lacks nearly everything: the program's texts come in English,
        // its own text stays, a key the program never asks for stays empty.
        ASSERT_NE(gerenciador.selecionarIdioma("Klingon"), nullptr);
        EXPECT_EQ(gerenciador.obterTexto("geral", "marca"), "tlh");
        EXPECT_EQ(gerenciador.obterTexto("frmPrincipal", "closeQuery"), "Do you really want to quit Tamborly?");
        EXPECT_EQ(gerenciador.obterTexto("geral", "nomeAplicacao"), "Tamborly");
        EXPECT_EQ(gerenciador.obterTexto("frmPrincipal", "nada"), QString());
        for (const IdiomaPadrao::Chave &c : IdiomaPadrao::chaves()) {
            if (!c.imagem) {
                EXPECT_FALSE(gerenciador.obterTexto(c.secao, c.chave).isEmpty())
                    << c.secao.toStdString() << " " << c.chave.toStdString();
            }
        }
    }
    // Two incomplete files of one name: no complete one to prefer, both stay, without a word.
    CaixaMensagem::limparRegistros();
    QFile::remove(instalada.arquivo("English.dat"));
    GerenciadorIdiomas semImagens;
    EXPECT_EQ(semImagens.getNomes(), (QStringList{"english", "English", "Klingon"}));
    EXPECT_TRUE(CaixaMensagem::registros().isEmpty());
}
