#include "tools/make-styles/LeitorEstilo.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Fonte {
    QTemporaryDir pasta;
    QString escrever(const char *texto)
    {
        const QString caminho = pasta.filePath(QStringLiteral("Teste.txt"));
        QFile arquivo(caminho);
        arquivo.open(QIODevice::WriteOnly);
        arquivo.write(texto);
        return caminho;
    }
};

const char *cabecalho = "tempo = 120\nmeter = 4/4\ngrid = 8\ndrums = Drums\nbass = Bass, 33\nkeys = Piano, 0\n";

}

TEST(LeitorEstiloTest, ReadsStrokesNotesChordsAndTheFormInOrder)
{
    Fonte fonte;
    const QByteArray texto = QByteArray(cabecalho) +
        "form = A A B  # two bars of A, then B\n"
        "bar A\n  kick X... x... \n  snare ..g. ..o!\n  bass C#2 - . Eb1 C2? . . G1!\n  keys Cmaj7 - F#m7b5 -\n"
        "bar B\n  hh xxxx xxxx\n  keys C4+E4+G4 - - - . . . .\n";
    Estilo estilo;
    QString erro;
    ASSERT_TRUE(LeitorEstilo::ler(fonte.escrever(texto.constData()), estilo, erro)) << erro.toStdString();
    EXPECT_EQ(estilo.compassos, 3);
    ASSERT_EQ(estilo.trilhas.size(), 3);
    EXPECT_EQ(estilo.trilhas[0].canal, 9);
    EXPECT_EQ(estilo.trilhas[1].programa, 33);

    // Drums: kick X and x, snare g, o and ! in each A bar; eight hi-hats in B.
    int kicks = 0, hats = 0;
    for (const Estilo::Nota &n : estilo.trilhas[0].notas) {
        kicks += n.nota == 36;
        hats += n.nota == 42;
        if (n.nota == 36 && n.passo == 0) {
            EXPECT_EQ(n.velocidade, 114);
        }
        if (n.nota == 38 && n.passo == 7) {
            EXPECT_EQ(n.velocidade, 127);
        }
        if (n.nota == 42) {
            EXPECT_EQ(n.compasso, 2);
        }
    }
    EXPECT_EQ(kicks, 4);
    EXPECT_EQ(hats, 8);

    // "#" after a note is a sharp, not a comment; "-" holds, "!" and "?" shade the velocity.
    const Estilo::Nota &primeira = estilo.trilhas[1].notas.first();
    EXPECT_EQ(primeira.nota, 37);
    EXPECT_EQ(primeira.duracao, 2);
    int soft = -1, loud = -1;
    for (const Estilo::Nota &n : estilo.trilhas[1].notas) {
        if (n.compasso == 0 && n.nota == 36)
            soft = n.velocidade;
        if (n.compasso == 0 && n.nota == 31)
            loud = n.velocidade;
    }
    EXPECT_LT(soft, 96);
    EXPECT_GT(loud, 96);

    // Four chord tokens in an eight-step bar are two steps each.
    QList<int> cmaj7;
    for (const Estilo::Nota &n : estilo.trilhas[2].notas)
        if (n.compasso == 0 && n.passo == 0)
            cmaj7.append(n.nota);
    EXPECT_EQ(cmaj7, (QList<int>{60, 64, 67, 71}));
    for (const Estilo::Nota &n : estilo.trilhas[2].notas) {
        EXPECT_EQ(n.duracao, 4);  // "Cmaj7 -" in quarters of a half bar; "C4+E4+G4 - - -" in eighths
    }
}

TEST(LeitorEstiloTest, FaultsNameTheLineAndWhatIsWrong)
{
    const struct {
        const char *corpo;
        const char *mensagem;
    } casos[] = {
        {"form = A\nbar A\n  kick X...\n", "Teste.txt:9: 4 steps, the grid has 8"},
        {"form = A\nbar A\n  cowbel X...X...\n", "unknown drum \"cowbel\""},
        {"form = A B\nbar A\n  kick X...X...\n", "form names bar \"B\""},
        {"form = A\nbar A\n  kick X...Y...\n", "\"Y\" is not a stroke"},
        {"form = A\nbar A\n  bass C2 H2 . .\n", "\"H2\" is not a note"},
        {"form = A\nbar A\n  keys Cmaj13 - - -\n", "\"Cmaj13\" is not a chord"},
        {"form = A\nbar A\n  bass C2 - -\n", "3 tokens do not divide the grid of 8 steps"},
        {"form = A\nbar A\n  kick X...X...\nbar A\n", "bar \"A\" defined twice"},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.corpo);
        Fonte fonte;
        Estilo estilo;
        QString erro;
        EXPECT_FALSE(LeitorEstilo::ler(fonte.escrever((QByteArray(cabecalho) + caso.corpo).constData()), estilo, erro));
        EXPECT_TRUE(erro.contains(QLatin1String(caso.mensagem))) << erro.toStdString();
    }
    Fonte fonte;
    Estilo estilo;
    QString erro;
    EXPECT_FALSE(LeitorEstilo::ler(fonte.escrever("tempo = 300\nmeter = 4/4\ngrid = 8\ndrums = D\nform = A\n"), estilo, erro));
    EXPECT_TRUE(erro.contains(QLatin1String("tempo must be 40 to 240")));
}
