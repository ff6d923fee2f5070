#include "platform/ArquivoPerfil.h"

#include "platform/ArquivoRegular.h"
#include "platform/GravacaoSegura.h"
#include "platform/Windows1252.h"

#include <QStringDecoder>

namespace {

bool mesmoNome(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The profile functions drop one pair of matching quotes around a value.
QString semAspas(QString valor)
{
    if (valor.size() >= 2) {
        const QChar primeiro = valor.front();
        if ((primeiro == QLatin1Char('"') || primeiro == QLatin1Char('\'')) && valor.back() == primeiro)
            return valor.mid(1, valor.size() - 2);
    }
    return valor;
}

// The byte-order marks of UTF-8 and UTF-16 name the encoding. Without one, a file
// saved by a text editor is usually UTF-8: bytes that are valid UTF-8 read as UTF-8
// (plain ASCII reads the same either way), anything else as Windows-1252, the code
// page the program writes.
QString decodificarTexto(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    const bool le = bytes.startsWith("\xFF\xFE");
    if (le || bytes.startsWith("\xFE\xFF")) {
        QString texto;
        texto.reserve((bytes.size() - 2) / 2);
        for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = uchar(bytes[i]);
            const auto b = uchar(bytes[i + 1]);
            texto.append(QChar(char16_t(le ? a | (b << 8) : (a << 8) | b)));
        }
        return texto;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString texto = utf8.decode(bytes);
    if (!utf8.hasError())
        return texto;
    return Windows1252::decodificar(bytes);
}

}  // namespace

ArquivoPerfil::ArquivoPerfil(const QString &caminho, qint64 limite) : caminho(caminho), limite(limite) {}

void ArquivoPerfil::carregar() const
{
    if (carregado)
        return;
    carregado = true;
    const std::optional<QByteArray> bytes = ArquivoRegular::ler(caminho, limite);
    if (!bytes)
        return;
    QString texto = decodificarTexto(*bytes);
    // CR alone ends a line too; CR LF becomes an empty line, which is skipped.
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Secao *atual = nullptr;
    for (QStringView linha : QStringView(texto).split(QLatin1Char('\n'))) {
        linha = linha.trimmed();
        if (linha.isEmpty())
            continue;
        if (linha.front() == QLatin1Char('[')) {
            const qsizetype fim = linha.indexOf(QLatin1Char(']'));
            const QString nome = (fim < 0 ? linha.mid(1) : linha.mid(1, fim - 1)).trimmed().toString();
            conteudo.push_back(Secao{nome, {}});
            atual = &conteudo.back();
            continue;
        }
        if (!atual || linha.front() == QLatin1Char(';'))
            continue;
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual < 0)
            continue;
        const QString chave = linha.left(igual).trimmed().toString();
        if (chave.isEmpty())
            continue;
        atual->entradas.push_back(Entrada{chave, semAspas(linha.mid(igual + 1).trimmed().toString())});
    }
}

const ArquivoPerfil::Secao *ArquivoPerfil::procurar(const QString &secao) const
{
    carregar();
    for (const Secao &s : conteudo) {
        if (mesmoNome(s.nome, secao))
            return &s;
    }
    return nullptr;
}

QString ArquivoPerfil::lerTexto(const QString &secao, const QString &chave, const QString &padrao) const
{
    if (const Secao *s = procurar(secao)) {
        for (const Entrada &e : s->entradas) {
            if (mesmoNome(e.chave, chave))
                return e.valor;
        }
    }
    return padrao;
}

QStringList ArquivoPerfil::secoes() const
{
    carregar();
    QStringList nomes;
    for (const Secao &s : conteudo) {
        bool repetida = false;
        for (const QString &n : nomes)
            repetida = repetida || mesmoNome(n, s.nome);
        if (!repetida)
            nomes.append(s.nome);
    }
    return nomes;
}

QStringList ArquivoPerfil::chaves(const QString &secao) const
{
    QStringList nomes;
    if (const Secao *s = procurar(secao)) {
        for (const Entrada &e : s->entradas)
            nomes.append(e.chave);
    }
    return nomes;
}

bool ArquivoPerfil::gravarLinhas(const QString &caminho, const QStringList &linhas)
{
    const QString texto = linhas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QByteArray bytes = Windows1252::codificar(texto);
    // The code page stays the format, unless it would not give the same text back:
    // a character it lacks, or code-page bytes that happen to be valid UTF-8 ("Ã©"
    // reads back as "é"). Then the file is UTF-8 with a byte-order mark, read as such.
    if (decodificarTexto(bytes) != texto)
        bytes = "\xEF\xBB\xBF" + texto.toUtf8();
    return GravacaoSegura::gravar(caminho, bytes);
}
