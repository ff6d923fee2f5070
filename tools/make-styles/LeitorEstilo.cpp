#include "tools/make-styles/LeitorEstilo.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QRegularExpression>

namespace {

// The General MIDI percussion notes by the names the patterns use.
const QHash<QString, int> &percussao()
{
    static const QHash<QString, int> tabela{
        {"kick", 36},      {"kick2", 35},     {"rim", 37},       {"snare", 38},    {"clap", 39},
        {"snare2", 40},    {"ftom2", 41},     {"hh", 42},        {"ftom", 43},     {"hhp", 44},
        {"tom2", 45},      {"hho", 46},       {"tom1b", 47},     {"tom1", 48},     {"crash", 49},
        {"tom0", 50},      {"ride", 51},      {"china", 52},     {"bell", 53},     {"tamb", 54},
        {"splash", 55},    {"cowbell", 56},   {"crash2", 57},    {"ride2", 59},    {"bongo", 60},
        {"bongo_lo", 61},  {"conga_mute", 62}, {"conga", 63},    {"conga_lo", 64}, {"timbale", 65},
        {"timbale_lo", 66}, {"agogo", 67},    {"agogo_lo", 68},  {"cabasa", 69},   {"shaker", 70},
        {"whistle", 72},   {"guiro", 73},     {"guiro_long", 74}, {"clave", 75},   {"woodblock", 76},
        {"woodblock_lo", 77}, {"cuica", 78},  {"cuica_lo", 79},  {"triangle_mute", 80}, {"triangle", 81},
    };
    return tabela;
}

int velocidadeDaBatida(QChar c)
{
    switch (c.unicode()) {
    case 'g': return 36;
    case 'o': return 62;
    case 'x': return 92;
    case 'X': return 114;
    case '!': return 127;
    default:
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
            return 13 * (c.unicode() - '0') + 8;
        return -1;
    }
}

// "C4" = 60; -1 when the token is not a note.
int nota(const QString &texto)
{
    static const QRegularExpression padrao(QStringLiteral("^([A-G])([#b]?)(-?[0-9])$"));
    const auto m = padrao.match(texto);
    if (!m.hasMatch())
        return -1;
    static const int classes[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int n = classes[m.captured(1)[0].unicode() - 'A'];
    if (m.captured(2) == QLatin1String("#"))
        ++n;
    else if (m.captured(2) == QLatin1String("b"))
        --n;
    const int resultado = 12 * (m.captured(3).toInt() + 1) + n;
    return resultado >= 0 && resultado <= 127 ? resultado : -1;
}

// A chord symbol voiced around middle C, or notes joined with "+".
QList<int> acorde(const QString &texto)
{
    if (nota(texto) >= 0)
        return {nota(texto)};
    if (texto.contains(QLatin1Char('+'))) {
        QList<int> notas;
        for (const QString &parte : texto.split(QLatin1Char('+'))) {
            const int n = nota(parte);
            if (n < 0)
                return {};
            notas.append(n);
        }
        return notas;
    }
    static const QRegularExpression padrao(QStringLiteral("^([A-G])([#b]?)([a-z0-9#]*)(?:/([A-G][#b]?))?$"));
    const auto m = padrao.match(texto);
    if (!m.hasMatch())
        return {};
    static const QMap<QString, QList<int>> qualidades{
        {"", {0, 4, 7}},          {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},     {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},    {"6", {0, 4, 7, 9}},       {"m6", {0, 3, 7, 9}},     {"9", {0, 4, 10, 14}},
        {"dim", {0, 3, 6}},       {"dim7", {0, 3, 6, 9}},    {"sus4", {0, 5, 7}},      {"7b9", {0, 4, 10, 13}},
        {"m7b5", {0, 3, 6, 10}},  {"m9", {0, 3, 10, 14}},    {"maj9", {0, 4, 11, 14}}, {"add9", {0, 4, 7, 14}},
        {"69", {0, 4, 9, 14}},    {"7sus4", {0, 5, 7, 10}},  {"aug", {0, 4, 8}},          {"5", {0, 7, 12}},
    };
    if (!qualidades.contains(m.captured(3)))
        return {};
    const int raizClasse = nota(m.captured(1) + m.captured(2) + QStringLiteral("4")) % 12;
    int raiz = 48 + raizClasse;
    if (raiz < 53)
        raiz += 12;
    QList<int> notas;
    for (int intervalo : qualidades.value(m.captured(3)))
        notas.append(raiz + intervalo);
    if (!m.captured(4).isEmpty())
        notas.prepend(36 + nota(m.captured(4) + QStringLiteral("4")) % 12);
    return notas;
}

struct Parte {
    QString tipo;      // drum name, "bass" or "keys"
    QString conteudo;
    int linha;
};

}

bool LeitorEstilo::ler(const QString &caminho, Estilo &estilo, QString &erro)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        erro = caminho + QStringLiteral(": cannot read the style");
        return false;
    }
    QHash<QString, QString> cabecalho;
    QMap<QString, QList<Parte>> compassos;
    QString compassoAtual;
    int numero = 0;
    auto falha = [&](int linha, const QString &texto) {
        erro = linha > 0 ? QStringLiteral("%1:%2: %3").arg(caminho).arg(linha).arg(texto)
                         : QStringLiteral("%1: %2").arg(caminho, texto);
        return false;
    };
    while (!arquivo.atEnd()) {
        ++numero;
        QString linha = QString::fromUtf8(arquivo.readLine());
        const qsizetype comentario = linha.indexOf(QLatin1Char('#'));
        // "#" also marks sharps: a comment starts only at a "#" after a blank or at the start.
        if (comentario == 0 || (comentario > 0 && linha[comentario - 1].isSpace()))
            linha.truncate(comentario);
        linha = linha.trimmed();
        if (linha.isEmpty())
            continue;
        if (linha.startsWith(QLatin1String("bar "))) {
            compassoAtual = linha.mid(4).trimmed();
            if (compassos.contains(compassoAtual))
                return falha(numero, QStringLiteral("bar \"%1\" defined twice").arg(compassoAtual));
            compassos.insert(compassoAtual, {});
            continue;
        }
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (compassoAtual.isEmpty()) {
            if (igual <= 0)
                return falha(numero, QStringLiteral("expected key = value before the first bar"));
            cabecalho.insert(linha.left(igual).trimmed(), linha.mid(igual + 1).trimmed());
            continue;
        }
        const qsizetype espaco = linha.indexOf(QLatin1Char(' '));
        if (espaco <= 0)
            return falha(numero, QStringLiteral("expected a part name and its steps"));
        compassos[compassoAtual].append({linha.left(espaco), linha.mid(espaco + 1).trimmed(), numero});
    }

    bool ok = true;
    estilo.andamento = cabecalho.value(QStringLiteral("tempo")).toInt(&ok);
    if (!ok || estilo.andamento < 40 || estilo.andamento > 240)
        return falha(0, QStringLiteral("tempo must be 40 to 240"));
    const QStringList compasso = cabecalho.value(QStringLiteral("meter")).split(QLatin1Char('/'));
    if (compasso.size() != 2)
        return falha(0, QStringLiteral("meter must look like 4/4"));
    estilo.numerador = compasso[0].toInt();
    estilo.denominador = compasso[1].toInt();
    if (estilo.numerador < 1 || estilo.numerador > 16
        || (estilo.denominador != 2 && estilo.denominador != 4 && estilo.denominador != 8))
        return falha(0, QStringLiteral("unsupported meter"));
    estilo.passos = cabecalho.value(QStringLiteral("grid")).toInt(&ok);
    if (!ok || estilo.passos < 1 || estilo.passos > 64)
        return falha(0, QStringLiteral("grid must be 1 to 64 steps"));
    estilo.swing = cabecalho.value(QStringLiteral("swing"), QStringLiteral("0")).toInt();
    estilo.humanizar = cabecalho.value(QStringLiteral("humanize"), QStringLiteral("0")).toInt();
    const QStringList forma = cabecalho.value(QStringLiteral("form")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (forma.isEmpty())
        return falha(0, QStringLiteral("form is missing"));
    estilo.compassos = int(forma.size());

    auto trilha = [&](const QString &chave, int canal, int programaPadrao) -> int {
        if (!cabecalho.contains(chave))
            return -1;
        const QStringList partes = cabecalho.value(chave).split(QLatin1Char(','));
        Estilo::Trilha t;
        t.nome = partes.value(0).trimmed();
        t.canal = canal;
        t.programa = partes.size() > 1 ? partes[1].trimmed().toInt() : programaPadrao;
        t.volume = partes.size() > 2 ? partes[2].trimmed().toInt() : 100;
        t.pan = partes.size() > 3 ? partes[3].trimmed().toInt() : 64;
        estilo.trilhas.append(t);
        return int(estilo.trilhas.size()) - 1;
    };
    const int bateria = trilha(QStringLiteral("drums"), 9, -1);
    if (bateria != 0)
        return falha(0, QStringLiteral("drums = <track name> is required"));
    const int baixo = trilha(QStringLiteral("bass"), 1, 33);
    const int teclado = trilha(QStringLiteral("keys"), 2, 0);

    for (int c = 0; c < forma.size(); ++c) {
        if (!compassos.contains(forma[c]))
            return falha(0, QStringLiteral("form names bar \"%1\", which is not defined").arg(forma[c]));
        for (const Parte &parte : compassos.value(forma[c])) {
            if (parte.tipo == QLatin1String("bass") || parte.tipo == QLatin1String("keys")) {
                const int indice = parte.tipo == QLatin1String("bass") ? baixo : teclado;
                if (indice < 0)
                    return falha(parte.linha, QStringLiteral("a %1 line needs %1 = <track name>").arg(parte.tipo));
                const QStringList fichas = parte.conteudo.split(QLatin1Char(' '), Qt::SkipEmptyParts);
                // Fewer tokens than steps are coarser notes: 4 tokens in a 16-step bar are quarters.
                if (fichas.isEmpty() || estilo.passos % fichas.size() != 0)
                    return falha(parte.linha, QStringLiteral("%1 tokens do not divide the grid of %2 steps").arg(fichas.size()).arg(estilo.passos));
                const int largura = estilo.passos / int(fichas.size());
                for (int p = 0; p < fichas.size(); ++p) {
                    QString ficha = fichas[p];
                    if (ficha == QLatin1String(".") || ficha == QLatin1String("-"))
                        continue;
                    int velocidade = parte.tipo == QLatin1String("bass") ? 96 : 70;
                    if (ficha.endsWith(QLatin1Char('!')))
                        velocidade += 18, ficha.chop(1);
                    else if (ficha.endsWith(QLatin1Char('?')))
                        velocidade -= 22, ficha.chop(1);
                    int duracao = 1;
                    while (p + duracao < fichas.size() && fichas[p + duracao] == QLatin1String("-"))
                        ++duracao;
                    const QList<int> notas = parte.tipo == QLatin1String("bass") ? QList<int>{nota(ficha)} : acorde(ficha);
                    if (notas.isEmpty() || notas.contains(-1))
                        return falha(parte.linha, QStringLiteral("\"%1\" is not a %2").arg(ficha, parte.tipo == QLatin1String("bass") ? QStringLiteral("note") : QStringLiteral("chord")));
                    for (int n : notas)
                        estilo.trilhas[indice].notas.append({c, p * largura, duracao * largura, n, velocidade});
                }
                continue;
            }
            bool numeroOk = false;
            int n = parte.tipo.toInt(&numeroOk);
            if (!numeroOk)
                n = percussao().value(parte.tipo, -1);
            if (n < 0 || n > 127)
                return falha(parte.linha, QStringLiteral("unknown drum \"%1\"").arg(parte.tipo));
            QString grade = parte.conteudo;
            grade.remove(QLatin1Char(' '));
            grade.remove(QLatin1Char('|'));
            if (grade.size() != estilo.passos)
                return falha(parte.linha, QStringLiteral("%1 steps, the grid has %2").arg(grade.size()).arg(estilo.passos));
            for (int p = 0; p < grade.size(); ++p) {
                if (grade[p] == QLatin1Char('.'))
                    continue;
                const int velocidade = velocidadeDaBatida(grade[p]);
                if (velocidade < 0)
                    return falha(parte.linha, QStringLiteral("\"%1\" is not a stroke (. g o x X ! 1-9)").arg(grade[p]));
                estilo.trilhas[bateria].notas.append({c, p, 0, n, velocidade});
            }
        }
    }
    return true;
}
