#include "tools/render/ListaFiguras.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Two squares: red shown, blue hidden until a state names it.
const char *folha =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\" viewBox=\"0 0 20 10\">"
    "<rect id=\"vermelho\" x=\"0\" y=\"0\" width=\"10\" height=\"10\" fill=\"#FF0000\"/>"
    "<g id=\"azul\" display=\"none\"><rect x=\"10\" y=\"0\" width=\"10\" height=\"10\" fill=\"#0000FF\"/></g>"
    "</svg>";

// One picture of each kind: plain, masked, PNG (masked or not), from three states.
const char *lista =
    "# name  state  rectangle  options\n"
    "plano      -              0,0,10,10\n"
    "mascarado  azul           10,0,10,10   mask=azul\n"
    "icone      azul+!vermelho sheet        png\n"
    "camada     azul           sheet        mask=azul png   # a comment\n"
    "\n";

QString escrever(const QTemporaryDir &pasta, const QString &nome, const QByteArray &texto)
{
    const QString caminho = pasta.filePath(nome);
    QFile arquivo(caminho);
    EXPECT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(texto);
    return caminho;
}

QStringList arquivosEm(const QString &pasta)
{
    QStringList arquivos;
    QDirIterator it(pasta, QDir::Files);
    while (it.hasNext())
        arquivos.append(it.next());
    arquivos.sort();
    return arquivos;
}

QStringList ordenada(QStringList lista)
{
    lista.sort();
    return lista;
}

}  // namespace

// What CMake declares for a list (through the reader, at configure time) is exactly what
// the render tool then writes: a declared file it never writes would rebuild on every run,
// a written one it never declares would be missing from the resources.
TEST(ListaFigurasTest, TheDeclaredOutputsAreExactlyWhatTheRenderToolWrites)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString svg = escrever(pasta, QStringLiteral("folha.svg"), folha);
    const QString pics = escrever(pasta, QStringLiteral("folha.pics"), lista);
    const QString saida = pasta.filePath(QStringLiteral("saida"));
    const QString renders = pasta.filePath(QStringLiteral("renders"));

    QList<Figura> figuras;
    QString erro;
    ASSERT_TRUE(ListaFiguras::ler(pics, figuras, erro)) << erro.toStdString();
    EXPECT_EQ(ListaFiguras::saidas(figuras, saida),
              (QStringList{saida + "/plano.jpg", saida + "/mascarado.jpg", saida + "/mascarado.mask.png",
                           saida + "/icone.png", saida + "/camada.png"}));
    EXPECT_EQ(ListaFiguras::renders(figuras, renders),
              (QStringList{renders + "/rest.png", renders + "/azul.png", renders + "/azul+not-vermelho.png"}));

    QProcess ferramenta;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    ambiente.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    ferramenta.setProcessEnvironment(ambiente);
    ferramenta.start(QStringLiteral(TAMBORLY_RENDER),
                     {"--sheet", svg, "--list", pics, "--out", saida, "--renders", renders});
    ASSERT_TRUE(ferramenta.waitForFinished(-1));  // ctest's timeout bounds it
    ASSERT_EQ(ferramenta.exitCode(), 0) << ferramenta.readAllStandardError().toStdString();
    EXPECT_EQ(arquivosEm(saida), ordenada(ListaFiguras::saidas(figuras, saida)));
    EXPECT_EQ(arquivosEm(renders), ordenada(ListaFiguras::renders(figuras, renders)));
}

// Faults in a list name the file and line; nothing is listed from a list that has one.
TEST(ListaFigurasTest, AFaultyListIsRefusedWithItsLine)
{
    struct Caso {
        QByteArray texto;
        QString mensagem;
    };
    const QList<Caso> casos{
        {"a - 0,0,1,1\nb -\n", ":2: expected"},
        {"a - 0,0,1,1\na - 0,0,1,1\n", ":2: picture \"a\" listed twice"},
        {"a - 0,0,0,1\n", ":1: bad rectangle"},
        {"naoExiste - kit\n", ":1: \"naoExiste\" is not in the kit table"},
        {"a - sheet gif\n", ":1: unknown option \"gif\""},
    };
    QTemporaryDir pasta;
    for (const Caso &caso : casos) {
        const QString pics = escrever(pasta, QStringLiteral("falha.pics"), caso.texto);
        QList<Figura> figuras;
        QString erro;
        EXPECT_FALSE(ListaFiguras::ler(pics, figuras, erro)) << caso.texto.toStdString();
        EXPECT_TRUE(erro.startsWith(pics)) << erro.toStdString();
        EXPECT_TRUE(erro.contains(caso.mensagem)) << erro.toStdString();
    }
}
