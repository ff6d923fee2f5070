#include "settings/Idioma.h"

#include "platform/ArquivoRegular.h"
#include "platform/CaixaMensagem.h"
#include "platform/Windows1252.h"
#include "settings/DecodificadorJpeg.h"
#include "settings/EFOpenError.h"

#include <QFile>
#include <QImage>

#include <limits>

#include <unistd.h>

namespace {

const QString tituloMensagens = QStringLiteral("Internationalization");

// Blanks and control characters, as the language files' trimming rule counts them
// (a no-break space is text).
QString aparar(const QString &linha)
{
    qsizetype inicio = 0;
    qsizetype fim = linha.size();
    while (inicio < fim && linha.at(inicio).unicode() <= 0x20)
        ++inicio;
    while (fim > inicio && linha.at(fim - 1).unicode() <= 0x20)
        --fim;
    return linha.mid(inicio, fim - inicio);
}

// Lines end with CR LF, CR or LF.
QStringList separarLinhas(const QString &texto)
{
    QStringList linhas;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        linhas.append(texto.mid(inicio, i - inicio));
        if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto.at(i + 1) == QLatin1Char('\n'))
            ++i;
        inicio = i + 1;
    }
    if (inicio < texto.size())
        linhas.append(texto.mid(inicio));
    return linhas;
}

// A decimal whole number that fits in 32 signed bits, blanks around it allowed.
bool converterInteiro(const QString &texto, qint64 &numero)
{
    bool ok = false;
    const QString limpo = texto.trimmed();
    if (limpo.isEmpty())
        return false;
    for (qsizetype i = 0; i < limpo.size(); ++i) {
        const QChar c = limpo.at(i);
        if (!(c.isDigit() && c.unicode() < 0x80) && !(i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'))))
            return false;
    }
    const qlonglong valor = limpo.toLongLong(&ok);
    if (!ok || valor < std::numeric_limits<qint32>::min() || valor > std::numeric_limits<qint32>::max())
        return false;
    numero = valor;
    return true;
}

}

Idioma::Idioma(const QString &pasta, const QString &arquivoTexto, const QString &arquivoImagens)
    : arquivoImagens(pasta + QLatin1Char('/') + arquivoImagens)
{
    const QString caminho = pasta + QLatin1Char('/') + arquivoTexto;
    // Opened without blocking, only as a regular file, and refused above the
    // limit before it is read: a FIFO or an endless file cannot hold the start.
    ArquivoRegular::Falha falha = ArquivoRegular::Falha::nenhuma;
    const std::optional<QByteArray> conteudo = ArquivoRegular::ler(caminho, limiteTexto, &falha);
    if (!conteudo) {
        const char *motivo = falha == ArquivoRegular::Falha::grandeDemais ? "The file is too large."
                             : falha == ArquivoRegular::Falha::naoRegular ? "It is not a regular file."
                             : falha == ArquivoRegular::Falha::semPermissao ? "Permission denied."
                             : falha == ArquivoRegular::Falha::inexistente ? "No such file."
                                                                            : "It could not be read.";
        throw EFOpenError("Cannot open file \"" + caminho.toStdString() + "\". " + motivo);
    }
    lerTextos(*conteudo);
}

Idioma::Idioma(const QByteArray &conteudoTexto, const QString &caminhoImagens)
    : arquivoImagens(caminhoImagens)
{
    lerTextos(conteudoTexto);
}

void Idioma::lerTextos(const QByteArray &conteudo)
{
    int secaoAtual = 0;
    int secoes = 0;
    for (const QString &linha : separarLinhas(Windows1252::decodificar(conteudo))) {
        const QString aparada = aparar(linha);
        if (aparada.isEmpty())
            continue;
        if (aparada.startsWith(QLatin1Char('['))) {
            secaoAtual = ++secoes;
            // A lone "[" names the empty section rather than a negative-length one.
            const QString nome = aparada.size() >= 2 ? aparada.mid(1, aparada.size() - 2) : QString();
            textos.append({true, secaoAtual, nome, QString()});
            continue;
        }
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual < 0) {
            // No "=": an entry with the empty key, which no lookup reaches.
            textos.append({false, secaoAtual, QString(), QString()});
            continue;
        }
        const QString chave = linha.left(igual);
        // The value keeps at most as many characters as the trimmed line has after
        // its key, plus one: so at most two trailing blanks stay, and a key made of
        // leading blanks longer than the rest gives the empty value, never a
        // negative length.
        const qsizetype maximo = aparada.size() - chave.size() + 1;
        QString valor = maximo > 0 ? linha.mid(igual + 1, maximo) : QString();
        valor.replace(QLatin1Char('#'), QStringLiteral("\r\n"));
        textos.append({false, secaoAtual, chave, valor});
    }
}

QString Idioma::obterTexto(const QString &secao, const QString &chave) const
{
    if (chave.isEmpty())
        return {};
    int numero = -1;
    for (const Entrada &e : textos) {
        if (e.ehSecao && e.nome == secao) {
            numero = e.numero;
            break;
        }
    }
    if (numero < 0)
        return {};
    for (const Entrada &e : textos)
        if (!e.ehSecao && e.numero == numero && e.nome == chave)
            return e.valor;
    return {};
}

QByteArray Idioma::lerBytesImagem(const QString &valor) const
{
    const qsizetype virgula = valor.indexOf(QLatin1Char(','));
    if (virgula < 0)
        return {};
    qint64 inicio = 0;
    qint64 tamanho = 0;
    if (!converterInteiro(valor.left(virgula), inicio) || !converterInteiro(valor.mid(virgula + 1), tamanho))
        return {};
    // Checked in 64 bits against the file before anything is read or allocated,
    // so a forged range can neither overflow nor make us allocate.
    if (inicio < 0 || tamanho <= 0)
        return {};
    const int fd = ArquivoRegular::abrir(arquivoImagens);
    if (fd < 0)
        return {};
    QFile arquivo;
    if (!arquivo.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    const qint64 tamanhoArquivo = arquivo.size();
    if (inicio > tamanhoArquivo || tamanho > tamanhoArquivo - inicio)
        return {};
    if (!arquivo.seek(inicio))
        return {};
    QByteArray bytes = arquivo.read(tamanho);
    if (bytes.size() != tamanho)
        return {};
    return bytes;
}

QPixmap Idioma::obterImagem(const QString &secao, const QString &chave)
{
    const QString valor = obterTexto(secao, chave);
    if (valor.isEmpty())
        return {};
    const QImage imagem = DecodificadorJpeg::decodificar(lerBytesImagem(valor));
    if (imagem.isNull()) {
        avisarArquivoCorrompido();
        return {};
    }
    return QPixmap::fromImage(imagem);
}

void Idioma::avisarArquivoCorrompido()
{
    if (avisoMostrado)
        return;
    avisoMostrado = true;
    CaixaMensagem::mostrar(
        QStringLiteral("The file of the language you have selected is corrupted. Try to reinstall your software.\n"
                       "If the problem persist, please contact us: support@tamborly.example.org."),
        tituloMensagens);
}
