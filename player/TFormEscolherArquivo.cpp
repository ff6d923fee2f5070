#include "player/TFormEscolherArquivo.h"

#include "platform/NomeArquivo.h"
#include "settings/GerenciadorIdiomas.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int papelBytes = Qt::UserRole;      // the entry's name as the file system's bytes
constexpr int papelPasta = Qt::UserRole + 1;  // whether the entry is a folder

QString texto(const char *chave)
{
    return GerenciadorIdiomas::texto("frmEscolherArquivo", chave);
}

QByteArray juntar(const QByteArray &pasta, const QByteArray &nome)
{
    return pasta.endsWith('/') ? pasta + nome : pasta + '/' + nome;
}

QByteArray pai(const QByteArray &caminho)
{
    const qsizetype barra = caminho.lastIndexOf('/');
    return barra <= 0 ? QByteArray("/") : caminho.left(barra);
}

// Follows symbolic links, as the user expects of a link to a folder.
bool ehPasta(const QByteArray &caminho)
{
    struct stat info {};
    return ::stat(caminho.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool existe(const QByteArray &caminho)
{
    struct stat info {};
    return ::stat(caminho.constData(), &info) == 0;
}

bool terminaCom(const QByteArray &nome, const QByteArray &sufixo)
{
    if (nome.size() < sufixo.size())
        return false;
    return nome.right(sufixo.size()).toLower() == sufixo.toLower();
}

struct Entrada {
    QByteArray bytes;
    QString nome;
    bool pasta;
};

}  // namespace

TFormEscolherArquivo::TFormEscolherArquivo(QWidget *parent) : QDialog(parent)
{
    resize(600, 420);
    auto *grade = new QGridLayout(this);

    auto *lblPasta = new QLabel(texto("lblPasta"), this);
    edtPasta = new QLineEdit(this);
    edtPasta->setObjectName(QStringLiteral("edtPasta"));
    edtPasta->setReadOnly(true);
    lblPasta->setBuddy(edtPasta);
    btnAcima = new QToolButton(this);
    btnAcima->setObjectName(QStringLiteral("btnAcima"));
    btnAcima->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    btnAcima->setToolTip(texto("btnAcima"));
    connect(btnAcima, &QToolButton::clicked, this, &TFormEscolherArquivo::subir);
    grade->addWidget(lblPasta, 0, 0);
    grade->addWidget(edtPasta, 0, 1, 1, 2);
    grade->addWidget(btnAcima, 0, 3);

    lista = new QListWidget(this);
    lista->setObjectName(QStringLiteral("lista"));
    lista->setSelectionMode(QAbstractItemView::SingleSelection);
    lista->setUniformItemSizes(true);
    connect(lista, &QListWidget::itemDoubleClicked, this, &TFormEscolherArquivo::ativar);
    connect(lista, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *atual) {
        // A file's name goes to the name line; a folder leaves it empty, so Open enters it.
        if (atual)
            edtNome->setText(atual->data(papelPasta).toBool() ? QString() : atual->text());
    });
    grade->addWidget(lista, 1, 0, 1, 4);
    lblAviso = new QLabel(texto("msgPastaIlegivel"), this);
    lblAviso->setObjectName(QStringLiteral("lblAviso"));
    lblAviso->hide();
    grade->addWidget(lblAviso, 2, 0, 1, 4);

    auto *lblNome = new QLabel(texto("lblNome"), this);
    edtNome = new QLineEdit(this);
    edtNome->setObjectName(QStringLiteral("edtNome"));
    lblNome->setBuddy(edtNome);
    grade->addWidget(lblNome, 3, 0);
    grade->addWidget(edtNome, 3, 1, 1, 3);

    auto *lblRotuloTipo = new QLabel(texto("lblTipo"), this);
    lblTipo = new QLabel(this);
    lblTipo->setObjectName(QStringLiteral("lblTipo"));
    // Qt's own Open and Cancel, in the language of Qt's translations.
    botoes = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Open)->setDefault(true);
    connect(botoes, &QDialogButtonBox::accepted, this, &TFormEscolherArquivo::confirmar);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grade->addWidget(lblRotuloTipo, 4, 0);
    grade->addWidget(lblTipo, 4, 1);
    grade->addWidget(botoes, 4, 2, 1, 2);
    grade->setColumnStretch(1, 1);

    setFiltro(texto("todosArquivos"), {});
    edtNome->setFocus();  // typing a name and Enter opens it, as in any file dialog
}

void TFormEscolherArquivo::setFiltro(const QString &descricao, const QByteArray &novoSufixo)
{
    sufixo = novoSufixo;
    lblTipo->setText(descricao);
    if (!pastaAtual.isEmpty())
        listar(pastaAtual);
}

void TFormEscolherArquivo::setPasta(const QString &pasta)
{
    QByteArray bytes = NomeArquivo::codificar(QDir::cleanPath(QDir(pasta).absolutePath()));
    while (!ehPasta(bytes) && bytes != "/")
        bytes = pai(bytes);
    if (!ehPasta(bytes))
        bytes = QFile::encodeName(QDir::homePath());
    listar(bytes);
}

QString TFormEscolherArquivo::getPasta() const
{
    return QFile::decodeName(pastaAtual);
}

QString TFormEscolherArquivo::getArquivo() const
{
    return QFile::decodeName(arquivo);
}

bool TFormEscolherArquivo::escolher(const QString &nome)
{
    const QList<QListWidgetItem *> achados = lista->findItems(nome, Qt::MatchExactly);
    if (achados.isEmpty())
        return false;
    lista->setCurrentItem(achados.first());
    ativar(achados.first());
    return true;
}

void TFormEscolherArquivo::listar(const QByteArray &bytes)
{
    pastaAtual = bytes;
    edtPasta->setText(QFile::decodeName(bytes));
    btnAcima->setEnabled(bytes != "/");
    lista->clear();
    std::vector<Entrada> entradas;
    DIR *diretorio = ::opendir(bytes.constData());
    lblAviso->setVisible(!diretorio);
    if (diretorio) {
        while (const dirent *d = ::readdir(diretorio)) {
            const QByteArray nome(d->d_name);
            if (nome.startsWith('.'))
                continue;  // ".", ".." and hidden entries, as file dialogs do
            const bool pasta = ehPasta(juntar(bytes, nome));
            if (!pasta && !sufixo.isEmpty() && !terminaCom(nome, sufixo))
                continue;
            entradas.push_back({nome, QFile::decodeName(nome), pasta});
        }
        ::closedir(diretorio);
    }
    std::sort(entradas.begin(), entradas.end(), [](const Entrada &a, const Entrada &b) {
        if (a.pasta != b.pasta)
            return a.pasta;
        const int ordem = a.nome.compare(b.nome, Qt::CaseInsensitive);
        return ordem != 0 ? ordem < 0 : a.bytes < b.bytes;
    });
    const QIcon iconePasta = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon iconeArquivo = style()->standardIcon(QStyle::SP_FileIcon);
    for (const Entrada &e : entradas) {
        auto *item = new QListWidgetItem(e.pasta ? iconePasta : iconeArquivo, e.nome, lista);
        item->setData(papelBytes, e.bytes);
        item->setData(papelPasta, e.pasta);
    }
    edtNome->clear();
}

void TFormEscolherArquivo::subir()
{
    if (pastaAtual == "/")
        return;
    const QByteArray deOnde = pastaAtual.mid(pastaAtual.lastIndexOf('/') + 1);
    listar(pai(pastaAtual));
    // The folder just left is the current entry, as in any file manager.
    for (int i = 0; i < lista->count(); ++i)
        if (lista->item(i)->data(papelBytes).toByteArray() == deOnde)
            lista->setCurrentRow(i);
}

void TFormEscolherArquivo::ativar(QListWidgetItem *item)
{
    if (!item)
        return;
    entrarOuAceitar(juntar(pastaAtual, item->data(papelBytes).toByteArray()));
}

void TFormEscolherArquivo::entrarOuAceitar(const QByteArray &caminho)
{
    if (ehPasta(caminho)) {
        listar(caminho);
        return;
    }
    arquivo = caminho;
    accept();
}

void TFormEscolherArquivo::confirmar()
{
    QListWidgetItem *atual = lista->currentItem();
    const QString nome = edtNome->text();
    if (nome.isEmpty() || (atual && atual->text() == nome)) {
        if (atual && atual->isSelected())
            ativar(atual);
        return;
    }
    // A listed name first: its bytes are known even when the text lost them.
    const QList<QListWidgetItem *> achados = lista->findItems(nome, Qt::MatchExactly);
    if (!achados.isEmpty()) {
        ativar(achados.first());
        return;
    }
    // A typed name or path, relative to the folder shown.
    const QString caminho = QDir::isAbsolutePath(nome) ? nome : QFile::decodeName(juntar(pastaAtual, QFile::encodeName(nome)));
    const QByteArray bytes = NomeArquivo::codificar(QDir::cleanPath(caminho));
    if (existe(bytes))
        entrarOuAceitar(bytes);
    else
        QApplication::beep();
}

void TFormEscolherArquivo::keyPressEvent(QKeyEvent *evento)
{
    // Backspace goes up a folder unless it is editing the name.
    if (evento->key() == Qt::Key_Backspace && !edtNome->hasFocus()) {
        subir();
        return;
    }
    QDialog::keyPressEvent(evento);
}
