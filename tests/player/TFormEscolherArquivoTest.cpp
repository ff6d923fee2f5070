#include "AmbienteJanela.h"

#include "player/TFormEscolherArquivo.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

class TFormEscolherArquivoTest : public testing::Test {
protected:
    void SetUp() override
    {
        AmbienteJanela::preparar();
        raiz = AmbienteJanela::arquivo(QStringLiteral("escolha"));
        QDir(raiz).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(raiz + QStringLiteral("/Zeta")));
        ASSERT_TRUE(QDir().mkpath(raiz + QStringLiteral("/alfa/funda")));
        bytes = QFile::encodeName(raiz);
        escolha = std::make_unique<TFormEscolherArquivo>();
    }
    void TearDown() override
    {
        escolha.reset();
        QDir(raiz).removeRecursively();
    }

    // An empty file named by the file system's bytes, relative to the test folder.
    void criar(const QByteArray &nome)
    {
        const int fd = ::open((bytes + '/' + nome).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << nome.constData();
        ::close(fd);
    }

    QStringList listados() const
    {
        QStringList nomes;
        for (int i = 0; i < dialogo().lista->count(); ++i)
            nomes.append(dialogo().lista->item(i)->text());
        return nomes;
    }

    // Selects the row and presses Open, as a user would.
    void abrirLinha(int linha)
    {
        dialogo().lista->setCurrentRow(linha);
        dialogo().botoes->button(QDialogButtonBox::Open)->click();
    }

    QString raiz;
    QByteArray bytes;
    std::unique_ptr<TFormEscolherArquivo> escolha;  // built once the language is current
    TFormEscolherArquivo &dialogo() const { return *escolha; }
};

const QString substituto{QChar(QChar::ReplacementCharacter)};

}  // namespace

TEST_F(TFormEscolherArquivoTest, ListsFoldersThenMidFilesOfAnyCaseIncludingNamesThatAreNotUtf8)
{
    for (const QByteArray &nome : {QByteArray("groove.mid"), QByteArray("BEAT.MID"), QByteArray("caf\xe9.mid"),
                                   QByteArray("caf\xe8.mid"), QByteArray("notes.txt"), QByteArray(".oculto.mid"),
                                   QByteArray("mid"), QByteArray("Bai\xc3\xa3o.Mid")})
        criar(nome);
    dialogo().setFiltro(QStringLiteral("mid (*.mid)"), QByteArrayLiteral(".mid"));
    dialogo().setPasta(raiz);
    EXPECT_EQ(dialogo().getPasta(), raiz);
    EXPECT_EQ(dialogo().edtPasta->text(), raiz);
    EXPECT_EQ(dialogo().lblTipo->text(), QStringLiteral("mid (*.mid)"));
    EXPECT_FALSE(dialogo().lblAviso->isVisibleTo(&dialogo()));
    const QString cafe = QStringLiteral("caf") + substituto + QStringLiteral(".mid");
    const QStringList esperados{"alfa", "Zeta", "Baião.Mid", "BEAT.MID", cafe, cafe, "groove.mid"};
    EXPECT_EQ(listados(), esperados);

    // Two names that read alike are two entries (in byte order), each opening its own bytes.
    abrirLinha(4);
    ASSERT_EQ(dialogo().result(), QDialog::Accepted);
    EXPECT_EQ(dialogo().getBytesArquivo(), bytes + "/caf\xe8.mid");
    abrirLinha(5);
    EXPECT_EQ(dialogo().getBytesArquivo(), bytes + "/caf\xe9.mid");
    EXPECT_EQ(dialogo().getArquivo(), raiz + QStringLiteral("/") + cafe);

    // Without a filter every file shows, hidden ones still not.
    dialogo().setFiltro(QStringLiteral("*"), {});
    EXPECT_EQ(listados().size(), esperados.size() + 2);
    EXPECT_TRUE(listados().contains(QStringLiteral("notes.txt")));
    EXPECT_FALSE(listados().contains(QStringLiteral(".oculto.mid")));
}

TEST_F(TFormEscolherArquivoTest, WalksFoldersByDoubleClickOpenUpBackspaceAndTypedNames)
{
    criar("alfa/funda/fundo.mid");
    criar("raso.mid");
    dialogo().setFiltro(QStringLiteral("mid (*.mid)"), QByteArrayLiteral(".mid"));
    dialogo().setPasta(raiz);

    // Typing starts in the name line, as in any file dialog.
    EXPECT_EQ(dialogo().focusWidget(), dialogo().edtNome);
    // A folder chosen is entered, not returned.
    ASSERT_TRUE(dialogo().escolher(QStringLiteral("alfa")));
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa"));
    EXPECT_EQ(dialogo().result(), QDialog::Rejected);
    EXPECT_TRUE(dialogo().getBytesArquivo().isEmpty());
    abrirLinha(0);  // Open on a selected folder enters it too
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa/funda"));
    EXPECT_EQ(listados(), QStringList{"fundo.mid"});

    // Up selects the folder it came from; Backspace in the list goes up as well.
    dialogo().btnAcima->click();
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa"));
    EXPECT_EQ(dialogo().lista->currentItem()->text(), QStringLiteral("funda"));
    QTest::keyClick(dialogo().lista, Qt::Key_Backspace);
    EXPECT_EQ(dialogo().getPasta(), raiz);

    // A typed folder is entered; a typed file name, relative or absolute, is chosen;
    // a name that names nothing keeps the dialog where it is.
    dialogo().edtNome->setText(QStringLiteral("alfa/funda"));
    dialogo().botoes->button(QDialogButtonBox::Open)->click();
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa/funda"));
    dialogo().edtNome->setText(QStringLiteral("ausente.mid"));
    dialogo().botoes->button(QDialogButtonBox::Open)->click();
    EXPECT_EQ(dialogo().result(), QDialog::Rejected);
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa/funda"));
    dialogo().edtNome->setText(raiz + QStringLiteral("/raso.mid"));
    dialogo().botoes->button(QDialogButtonBox::Open)->click();
    EXPECT_EQ(dialogo().result(), QDialog::Accepted);
    EXPECT_EQ(dialogo().getBytesArquivo(), bytes + "/raso.mid");

    // A selected file fills the name line, a selected folder empties it.
    dialogo().setPasta(raiz);
    dialogo().lista->setCurrentRow(dialogo().lista->count() - 1);
    EXPECT_EQ(dialogo().edtNome->text(), QStringLiteral("raso.mid"));
    dialogo().lista->setCurrentRow(0);
    EXPECT_TRUE(dialogo().edtNome->text().isEmpty());
}

TEST_F(TFormEscolherArquivoTest, AStartFolderThatIsGoneGivesWayToItsNearestParentAndTheRootHasNoUp)
{
    dialogo().setPasta(raiz + QStringLiteral("/alfa/sumiu/tambem"));
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa"));
    criar("alfa/arquivo.mid");
    dialogo().setPasta(raiz + QStringLiteral("/alfa/arquivo.mid"));  // a file is no folder
    EXPECT_EQ(dialogo().getPasta(), raiz + QStringLiteral("/alfa"));
    dialogo().setPasta(QStringLiteral("/"));
    EXPECT_EQ(dialogo().getPasta(), QStringLiteral("/"));
    EXPECT_FALSE(dialogo().btnAcima->isEnabled());
    EXPECT_TRUE(listados().contains(QStringLiteral("tmp")) || listados().contains(QStringLiteral("usr")));
    // A folder under a name that is not UTF-8 is entered by its own bytes.
    ASSERT_EQ(::mkdir((bytes + "/m\xfasica").constData(), 0755), 0);
    criar("m\xfasica/samba.mid");
    dialogo().setPasta(raiz);
    ASSERT_TRUE(dialogo().escolher(QStringLiteral("m") + substituto + QStringLiteral("sica")));
    ASSERT_TRUE(dialogo().escolher(QStringLiteral("samba.mid")));
    EXPECT_EQ(dialogo().getBytesArquivo(), bytes + "/m\xfasica/samba.mid");
}
