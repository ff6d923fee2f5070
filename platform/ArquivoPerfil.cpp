#include "platform/ArquivoPerfil.h"

#include "platform/Windows1252.h"

#include <QFile>
#include <QSaveFile>

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

}  // namespace

ArquivoPerfil::ArquivoPerfil(const QString &caminho) : caminho(caminho) {}

void ArquivoPerfil::carregar() const
{
    if (carregado)
        return;
    carregado = true;
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return;
    const QString texto = Windows1252::decodificar(arquivo.readAll());
    Secao *atual = nullptr;
    for (QStringView linha : QStringView(texto).split(QLatin1Char('\n'))) {
        linha = linha.trimmed();  // also drops the CR of CR LF
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
    QByteArray bytes;
    for (const QString &linha : linhas) {
        bytes += Windows1252::codificar(linha);
        bytes += "\r\n";
    }
    // QSaveFile writes a temporary file in the same folder and renames it over
    // the target only when everything was written.
    QSaveFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly))
        return false;
    if (arquivo.write(bytes) != bytes.size()) {
        arquivo.cancelWriting();
        return false;
    }
    return arquivo.commit();
}
