// tamborly-make-styles: writes each rhythm style's text source as a .mid file.
//   tamborly-make-styles --library libSnMidi32.so --out DIR style.txt...
// The file is named after its source ("Baião.txt" gives "Baião.mid").

#include "tools/make-styles/GravadorEstilo.h"
#include "tools/make-styles/LeitorEstilo.h"

#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

int falhar(const QString &mensagem)
{
    std::fprintf(stderr, "tamborly-make-styles: %s\n", qPrintable(mensagem));
    return 1;
}

}

int main(int argc, char **argv)
{
    QCoreApplication aplicacao(argc, argv);
    QString biblioteca, saida;
    QStringList fontes;
    const QStringList argumentos = aplicacao.arguments();
    for (int i = 1; i < argumentos.size(); ++i) {
        if (argumentos[i] == QLatin1String("--library") && i + 1 < argumentos.size())
            biblioteca = argumentos[++i];
        else if (argumentos[i] == QLatin1String("--out") && i + 1 < argumentos.size())
            saida = argumentos[++i];
        else
            fontes.append(argumentos[i]);
    }
    if (biblioteca.isEmpty() || saida.isEmpty() || fontes.isEmpty())
        return falhar(QStringLiteral("usage: tamborly-make-styles --library libSnMidi32.so --out DIR style.txt..."));
    if (!QDir().mkpath(saida))
        return falhar(QStringLiteral("cannot create ") + saida);

    std::unique_ptr<TSonoMidi> sonoMidi;
    try {
        sonoMidi = std::make_unique<TSonoMidi>(nullptr, biblioteca);
    } catch (const ESonoMidiException &e) {
        return falhar(biblioteca + QStringLiteral(": ") + e.Message() + QStringLiteral(" (build the SnMidi32 target first)"));
    }
    for (const QString &fonte : fontes) {
        Estilo estilo;
        estilo.nome = QFileInfo(fonte).completeBaseName();
        QString erro;
        if (!LeitorEstilo::ler(fonte, estilo, erro))
            return falhar(erro);
        const QString arquivo = saida + QLatin1Char('/') + estilo.nome + QStringLiteral(".mid");
        if (!GravadorEstilo::gravar(*sonoMidi, estilo, arquivo, erro))
            return falhar(erro);
    }
    return 0;
}
