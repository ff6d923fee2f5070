#include "settings/GerenciadorIdiomas.h"

#include "platform/ArquivoPerfil.h"
#include "platform/BuscaArquivos.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "settings/Idioma.h"
#include "settings/IdiomaPadrao.h"
#include "settings/TformListaIdiomas.h"
#include "settings/TradutorQt.h"

namespace {

const QString tituloMensagens = QStringLiteral("Internationalization");

std::unique_ptr<GerenciadorIdiomas> &unico()
{
    static std::unique_ptr<GerenciadorIdiomas> gerenciador;
    return gerenciador;
}

}

GerenciadorIdiomas::GerenciadorIdiomas()
    : dialogo(std::make_unique<TformListaIdiomas>())
{
    descobrir();
}

GerenciadorIdiomas::~GerenciadorIdiomas() = default;

GerenciadorIdiomas *GerenciadorIdiomas::instancia()
{
    if (!unico())
        unico() = std::make_unique<GerenciadorIdiomas>();
    return unico().get();
}

void GerenciadorIdiomas::descartarInstancia()
{
    unico().reset();
}

void GerenciadorIdiomas::descobrir()
{
    const QString pasta = PastaAplicacao::caminho();
    for (const QString &arquivo : BuscaArquivos::listar(pasta, QStringLiteral("idm"))) {
        const ArquivoPerfil cabecalho(pasta + QLatin1Char('/') + arquivo, Idioma::limiteTexto);
        const QString secao = QStringLiteral("EspecificacaoIdioma");
        const QString nome = cabecalho.lerTexto(secao, QStringLiteral("nomeIdioma"), QString());
        const QString codigo = cabecalho.lerTexto(secao, QStringLiteral("codAplicacao"), QString());
        if (nome.isEmpty() || codigo != QLatin1String("Tamborly"))
            continue;
        nomes.append(nome);
        arquivos.append(arquivo.left(arquivo.size() - 4));
    }
    descartarIncompletos(pasta);
    if (nomes.isEmpty()) {
        CaixaMensagem::mostrar(QStringLiteral("No language files were found. Please, reinstall your software."),
                               tituloMensagens);
        encerrarAplicacao();
    }
}

void GerenciadorIdiomas::descartarIncompletos(const QString &pasta)
{
    // Only a name that several files claim is decided here: a stray header-only
    // file must not take the place of the installed language of that name.
    QList<bool> completos(nomes.size(), false);
    QList<bool> avaliados(nomes.size(), false);
    auto completo = [&](qsizetype i) {
        if (!avaliados[i]) {
            avaliados[i] = true;
            try {
                const QString base = arquivos.at(i);
                Idioma idioma(pasta, BuscaArquivos::resolver(pasta, base + QStringLiteral(".idm")),
                              BuscaArquivos::resolver(pasta, base + QStringLiteral(".dat")));
                completos[i] = IdiomaPadrao::completo(idioma);
            } catch (const std::exception &) {
                completos[i] = false;
            }
        }
        return completos[i];
    };
    QList<bool> descartar(nomes.size(), false);
    for (qsizetype i = 0; i < nomes.size(); ++i) {
        QList<qsizetype> mesmoNome;
        for (qsizetype k = 0; k < nomes.size(); ++k)
            if (nomes[k].compare(nomes[i], Qt::CaseInsensitive) == 0)
                mesmoNome.append(k);
        if (mesmoNome.size() < 2 || mesmoNome.first() != i)
            continue;
        bool algumCompleto = false;
        for (qsizetype k : mesmoNome)
            algumCompleto = completo(k) || algumCompleto;
        for (qsizetype k : mesmoNome)
            descartar[k] = algumCompleto && !completos[k];
    }
    for (qsizetype i = nomes.size() - 1; i >= 0; --i) {
        if (!descartar[i])
            continue;
        CaixaMensagem::mostrar(QStringLiteral("The language file \"%1.idm\" is incomplete and was skipped: "
                                              "another file of the language \"%2\" is used instead.")
                                   .arg(arquivos[i], nomes[i]),
                               tituloMensagens);
        nomes.removeAt(i);
        arquivos.removeAt(i);
    }
}

void GerenciadorIdiomas::encerrarAplicacao()
{
    // Start-up runs before the event loop, so there is no loop to quit yet (and
    // quitting one now would make every later modal loop return at once): start-up
    // sees that no language was made current and ends without creating a window.
    encerrando = true;
}

Idioma *GerenciadorIdiomas::selecionarIdioma(const QString &nome)
{
    if (nomes.isEmpty())
        return nullptr;
    for (int i = 0; i < nomes.size(); ++i)
        if (nomes.at(i).compare(nome, Qt::CaseInsensitive) == 0)
            return carregar(i);
    CaixaMensagem::mostrar(
        QStringLiteral("The language you have selected was not found. Please, select another one."), tituloMensagens);
    if (escolherIdioma())
        return idiomaAtual.get();
    if (!encerrando)
        CaixaMensagem::mostrar(
            QStringLiteral("The application could not be initialized because no language was selected."),
            tituloMensagens);
    encerrarAplicacao();
    return nullptr;
}

QString GerenciadorIdiomas::texto(const char *secao, const char *chave)
{
    return instancia()->obterTexto(QString::fromLatin1(secao), QString::fromLatin1(chave));
}

QString GerenciadorIdiomas::textoDeRotulo(const char *secao, const char *chave)
{
    QString t = texto(secao, chave);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString GerenciadorIdiomas::obterTexto(const QString &secao, const QString &chave) const
{
    if (!idiomaAtual)
        return {};
    const QString texto = idiomaAtual->obterTexto(secao, chave);
    if (!texto.isEmpty())
        return texto;
    // A text the program needs and the language lacks is never blank: the
    // built-in English one stands in.
    for (const IdiomaPadrao::Chave &c : IdiomaPadrao::chaves())
        if (!c.imagem && c.secao == secao && c.chave == chave)
            return IdiomaPadrao::ingles().obterTexto(secao, chave);
    return texto;
}

QPixmap GerenciadorIdiomas::obterImagem(const QString &secao, const QString &chave) const
{
    if (!idiomaAtual)
        return {};
    return idiomaAtual->obterImagem(secao, chave);
}

bool GerenciadorIdiomas::idiomaCarregado() const
{
    return idiomaAtual != nullptr;
}

bool GerenciadorIdiomas::escolherIdioma()
{
    // The first language is selected when none is loaded yet, so that OK always
    // chooses one instead of ending the program.
    const int escolhido = dialogo->escolher(nomes, indiceAtual >= 0 ? indiceAtual : 0);
    if (escolhido == -1)
        return false;
    carregar(escolhido);
    return true;
}

Idioma *GerenciadorIdiomas::carregar(int indice)
{
    if (indice < 0 || indice >= arquivos.size())
        return nullptr;
    if (indice == indiceAtual)
        return idiomaAtual.get();
    const QString pasta = PastaAplicacao::caminho();
    const QString base = arquivos.at(indice);
    // Language files ship with lower-case extensions, but discovery accepts any
    // letter case, so find the files as they are actually named.
    const QString texto = BuscaArquivos::resolver(pasta, base + QStringLiteral(".idm"));
    const QString imagens = BuscaArquivos::resolver(pasta, base + QStringLiteral(".dat"));
    auto novo = std::make_unique<Idioma>(pasta, texto, imagens);
    idiomaAtual = std::move(novo);
    indiceAtual = indice;
    // Qt's own dialogs and buttons follow; the windows reload their texts on the
    // LanguageChange event this sends.
    TradutorQt::aplicar(idiomaAtual->obterTexto(QStringLiteral("EspecificacaoIdioma"), QStringLiteral("codigoLocal")));
    return idiomaAtual.get();
}

QString GerenciadorIdiomas::getNomeIdioma() const
{
    if (!idiomaAtual || indiceAtual < 0 || indiceAtual >= nomes.size())
        return {};
    return nomes.at(indiceAtual);
}
