#pragma once

#include <QList>
#include <QString>

class QWidget;

// Message boxes of the program. A test can have them recorded instead of shown,
// so that nothing waits for a click.
class CaixaMensagem {
public:
    struct Registro {
        QString texto;
        QString titulo;
        bool pergunta = false;
    };

    // A message box with an OK button and no icon.
    static void mostrar(const QString &texto, const QString &titulo, QWidget *dono = nullptr);
    // A question with the buttons Yes and No and no icon; true for Yes.
    static bool perguntarSimNao(const QString &texto, const QString &titulo, QWidget *dono = nullptr);

    // From now on record the boxes instead of showing them; questions answer
    // with resposta. Passing false shows them again and forgets the record.
    static void gravar(bool ativo, bool resposta = true);
    static bool gravando();
    static const QList<Registro> &registros();
    static void limparRegistros();
};
