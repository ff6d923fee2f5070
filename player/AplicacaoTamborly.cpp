#include "player/AplicacaoTamborly.h"

#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "player/EAbort.h"
#include "player/TFormPrincipal.h"
#include "player/TformSplash.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "settings/Utilgui.h"

#include <QIcon>
#include <QMessageBox>
#include <QScreen>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace {

const QString emailSuporte = QStringLiteral("support@tamborly.example.org");
const QString textoErroFixo = QStringLiteral("An error has occurred in your application.\n"
                                             "If the problem persist, please contact us: ");
const QString tituloFixo = QStringLiteral("Cordelune");

QString tituloAplicacao;

// The class name as the program spells it ("ESonoMidiException", "std::out_of_range").
QString nomeClasse(const std::exception &erro)
{
    const char *nome = typeid(erro).name();
    int situacao = 0;
    std::unique_ptr<char, void (*)(void *)> legivel(abi::__cxa_demangle(nome, nullptr, nullptr, &situacao), std::free);
    return QString::fromUtf8(situacao == 0 && legivel ? legivel.get() : nome);
}

}

AplicacaoTamborly::AplicacaoTamborly(int &argc, char **argv) : QApplication(argc, argv) {}

bool AplicacaoTamborly::notify(QObject *receptor, QEvent *evento)
{
    std::exception_ptr erro;
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        erro = std::current_exception();
    }
    // Reported outside the catch: the report runs a modal loop of its own.
    relatarErroDoLaco(erro);
    return false;
}

QString AplicacaoTamborly::titulo()
{
    return tituloAplicacao;
}

std::optional<QString> AplicacaoTamborly::mensagemErroDoLaco(std::exception_ptr erro)
{
    try {
        std::rethrow_exception(erro);
    } catch (const EAbort &) {
        return std::nullopt;
    } catch (const std::exception &e) {
        QString mensagem = QString::fromUtf8(e.what());
        if (!mensagem.isEmpty() && mensagem.back() > QLatin1Char('.'))
            mensagem += QLatin1Char('.');
        return mensagem;
    } catch (...) {
        return QStringLiteral("An unexpected error has occurred.");
    }
}

void AplicacaoTamborly::relatarErroDoLaco(std::exception_ptr erro)
{
    const std::optional<QString> mensagem = mensagemErroDoLaco(erro);
    if (!mensagem)
        return;
    if (CaixaMensagem::gravando()) {
        CaixaMensagem::mostrar(*mensagem, titulo());
        return;
    }
    QMessageBox caixa(QMessageBox::Critical, titulo(), *mensagem, QMessageBox::Ok);
    caixa.exec();
}

AplicacaoTamborly::Relato AplicacaoTamborly::relatoErroFatal(std::exception_ptr erro, const QString &versao)
{
    try {
        std::rethrow_exception(erro);
    } catch (const std::exception &e) {
        Relato relato;
        GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
        if (idiomas->idiomaCarregado()) {
            relato.texto = GerenciadorIdiomas::texto("geral", "erroGeral");
            relato.titulo = GerenciadorIdiomas::texto("geral", "nomeAplicacao");
        } else {
            relato.texto = textoErroFixo + emailSuporte + QStringLiteral(".\n\nError information:");
            relato.titulo = tituloFixo;
        }
        relato.texto += QStringLiteral("\n\" ") + nomeClasse(e) + QStringLiteral(" (") + QString::fromUtf8(e.what())
                        + QLatin1Char(')');
        if (!versao.isEmpty())
            relato.texto += QStringLiteral(", v") + versao;
        relato.texto += QStringLiteral(" \"");
        return relato;
    } catch (...) {
        Relato relato{textoErroFixo + emailSuporte + QLatin1Char('.'), tituloFixo};
        if (!versao.isEmpty())
            relato.texto += QStringLiteral("\n\nError information:\n\" v") + versao + QStringLiteral(" \"");
        return relato;
    }
}

int AplicacaoTamborly::executar()
{
    std::exception_ptr erro;
    try {
        return iniciar();
    } catch (...) {
        erro = std::current_exception();
    }
    const Relato relato = relatoErroFatal(erro, Utilgui::versaoDoArquivo());
    CaixaMensagem::mostrar(relato.texto, relato.titulo);
    return 0;
}

int AplicacaoTamborly::iniciar()
{
    // 1.-2. Settings, then the stored language (or the chooser, or the end).
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    if (!idiomas->selecionarIdioma(configuracao.getIdioma()))
        return 0;
    // The language in use is what the next save writes: a stored "english" becomes
    // "English", and a language picked in the chooser is not asked for again.
    configuracao.setIdioma(idiomas->getNomeIdioma());

    // 3. The layout is drawn for 96 pixels per inch; high-DPI scaling keeps that
    // geometry, so only a screen where it would break is refused.
    QScreen *tela = QGuiApplication::primaryScreen();
    if (!tela || qRound(tela->logicalDotsPerInch()) != 96) {
        CaixaMensagem::mostrar(GerenciadorIdiomas::texto("geral", "erroPPP"), GerenciadorIdiomas::texto("geral", "nomeAplicacao"));
        return 0;
    }

    // 4.-6.
    QApplication::setWindowIcon(QIcon(PastaAplicacao::arquivo(QStringLiteral("tamborly.png"))));
    TformSplash splash;
    splash.mostrarEsperando(1000);
    tituloAplicacao = GerenciadorIdiomas::texto("geral", "tituloGeral");

    // 7. The windows, in order; the dialogs belong to the player window.
    auto principal = std::make_unique<TFormPrincipal>();
    principal->setWindowTitle(tituloAplicacao);
    new TFormSetup(principal.get());
    new TformAssistenteConfiguracaoDriver(principal.get());

    // 8.-9.
    splash.hide();
    principal->show();
    QApplication::exec();
    fecharMidi();
    return 0;
}

void AplicacaoTamborly::fecharMidi()
{
    // The clock's thread and the synth's audio threads stop here, while the windows
    // and the application object still exist, not among the static destructors.
    // Each step stands alone: a failing device must not keep the clock running.
    try {
        Sequenciador::instancia().fechar();
    } catch (...) {
    }
    try {
        SaidaMIDI::instancia().fechar();
    } catch (...) {
    }
}
