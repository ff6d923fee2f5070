#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QToolButton;

// The Open and Styles dialogs: a folder listed entry by entry as the file system
// gives them, so a name that is not valid UTF-8 (a Latin-1 "caf\xE9.mid") is
// listed, with a replacement character, and can be chosen. Qt's own file dialog
// leaves such names out.
class TFormEscolherArquivo : public QDialog {
    Q_OBJECT

public:
    explicit TFormEscolherArquivo(QWidget *parent = nullptr);

    // Only files whose name ends in sufixo (any letter case) are listed, besides
    // folders; an empty sufixo lists every file. descricao names the filter.
    void setFiltro(const QString &descricao, const QByteArray &sufixo);
    // Lists the folder; one that does not exist gives way to its nearest existing
    // parent, or the home folder.
    void setPasta(const QString &pasta);
    QString getPasta() const;
    // The chosen file's full name as text (what abrirMusica takes) and as bytes.
    QString getArquivo() const;
    QByteArray getBytesArquivo() const { return arquivo; }
    // Chooses the listed entry of that shown name, as a double click does: a
    // folder is entered, a file closes the dialog accepted. False when none.
    bool escolher(const QString &nome);

    QLineEdit *edtPasta;
    QToolButton *btnAcima;
    QListWidget *lista;
    QLabel *lblAviso;  // the folder cannot be read
    QLineEdit *edtNome;
    QLabel *lblTipo;
    QDialogButtonBox *botoes;

protected:
    void keyPressEvent(QKeyEvent *evento) override;

private:
    void listar(const QByteArray &bytes);
    void subir();
    void ativar(QListWidgetItem *item);
    void confirmar();
    void entrarOuAceitar(const QByteArray &caminho);

    QByteArray pastaAtual;  // the file system's bytes, absolute
    QByteArray sufixo;
    QByteArray arquivo;
};
