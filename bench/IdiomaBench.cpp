// Cost of the language lookups the windows make while they are built: reading
// the shipped English language, one obterTexto (two scans of the flat table) for
// every key the program uses, and one picture from the ".dat" file (range check,
// read and JPEG decode). Prints median and p99 in microseconds; the baseline is
// the same lookups through a hash of the table, built in the same process.

#include "settings/Idioma.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Medida {
    double mediana;
    double p99;
};

template <typename F>
Medida medir(int vezes, F &&f)
{
    for (int i = 0; i < vezes / 10 + 1; ++i)
        f();
    std::vector<double> tempos;
    tempos.reserve(vezes);
    QElapsedTimer relogio;
    for (int i = 0; i < vezes; ++i) {
        relogio.start();
        f();
        tempos.push_back(relogio.nsecsElapsed() / 1000.0);
    }
    std::sort(tempos.begin(), tempos.end());
    return {tempos[tempos.size() / 2], tempos[std::min(tempos.size() - 1, tempos.size() * 99 / 100)]};
}

void relatar(const char *nome, const Medida &m, const char *tamanho)
{
    std::printf("%-44s median %9.2f us   p99 %9.2f us   (%s)\n", nome, m.mediana, m.p99, tamanho);
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString pasta = QStringLiteral(TAMBORLY_BUILD_APP_DIR);
    if (!QFile::exists(pasta + QStringLiteral("/English.idm"))) {
        std::fprintf(stderr, "bench_Idioma: %s/English.idm is missing; build tamborly_languages first\n",
                     qPrintable(pasta));
        return 1;
    }
    QFile chavesArquivo(QStringLiteral(TAMBORLY_KEYS_TXT));
    chavesArquivo.open(QIODevice::ReadOnly);
    QList<QPair<QString, QString>> chaves;
    for (const QString &linha : QString::fromUtf8(chavesArquivo.readAll()).split(QLatin1Char('\n'))) {
        const QStringList partes = linha.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (partes.size() >= 2 && !partes[0].startsWith(QLatin1Char('#')))
            chaves.append({partes[0], partes[1]});
    }

    Idioma idioma(pasta, QStringLiteral("English.idm"), QStringLiteral("English.dat"));
    const QString tamanhoTabela = QStringLiteral("%1 entries, %2 keys").arg(idioma.getTextos().size()).arg(chaves.size());

    relatar("read English.idm", medir(200, [&] { Idioma(pasta, "English.idm", "English.dat"); }),
            qPrintable(tamanhoTabela));

    qsizetype total = 0;
    relatar("obterTexto for every key (flat table)", medir(2000, [&] {
                for (const auto &c : chaves)
                    total += idioma.obterTexto(c.first, c.second).size();
            }),
            qPrintable(tamanhoTabela));

    QHash<QString, QString> indice;
    {
        QString secao;
        for (const Idioma::Entrada &e : idioma.getTextos()) {
            if (e.ehSecao)
                secao = e.nome;
            else if (!indice.contains(secao + QLatin1Char('\n') + e.nome))
                indice.insert(secao + QLatin1Char('\n') + e.nome, e.valor);
        }
    }
    relatar("baseline: the same keys through a hash", medir(2000, [&] {
                for (const auto &c : chaves)
                    total += indice.value(c.first + QLatin1Char('\n') + c.second).size();
            }),
            qPrintable(tamanhoTabela));

    relatar("obterImagem imgEntrada (read + decode)", medir(200, [&] {
                total += idioma.obterImagem("frmEntrada", "imgEntrada").width();
            }),
            "250 x 250");
    relatar("obterImagem imgOpen (read + decode)", medir(500, [&] {
                total += idioma.obterImagem("frmPrincipal", "imgOpen").width();
            }),
            "83 x 25");
    return total > 0 ? 0 : 1;
}
