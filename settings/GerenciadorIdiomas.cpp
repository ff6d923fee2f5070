#include "settings/GerenciadorIdiomas.h"

#include "platform/ArquivoPerfil.h"
#include "platform/BuscaArquivos.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "settings/Idioma.h"
#include "settings/TformListaIdiomas.h"

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
    if (nomes.isEmpty()) {
        CaixaMensagem::mostrar(QStringLiteral("No language files were found. Please, reinstall your software."),
                               tituloMensagens);
        encerrarAplicacao();
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

QString GerenciadorIdiomas::obterTexto(const QString &secao, const QString &chave) const
{
    if (!idiomaAtual)
        return {};
    return idiomaAtual->obterTexto(secao, chave);
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
    const int escolhido = dialogo->escolher(nomes, indiceAtual);
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
    return idiomaAtual.get();
}

QString GerenciadorIdiomas::getNomeIdioma() const
{
    if (!idiomaAtual || indiceAtual < 0 || indiceAtual >= nomes.size())
        return {};
    return nomes.at(indiceAtual);
}
