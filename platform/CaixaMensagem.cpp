#include "platform/CaixaMensagem.h"

#include <QMessageBox>

namespace {

struct Estado {
    bool gravando = false;
    bool resposta = true;
    QList<CaixaMensagem::Registro> registros;
};

Estado &estado()
{
    static Estado e;
    return e;
}

}

void CaixaMensagem::mostrar(const QString &texto, const QString &titulo, QWidget *dono)
{
    if (estado().gravando) {
        estado().registros.append({texto, titulo, false});
        return;
    }
    QMessageBox caixa(QMessageBox::NoIcon, titulo, texto, QMessageBox::Ok, dono);
    caixa.exec();
}

bool CaixaMensagem::perguntarSimNao(const QString &texto, const QString &titulo, QWidget *dono)
{
    if (estado().gravando) {
        estado().registros.append({texto, titulo, true});
        return estado().resposta;
    }
    QMessageBox caixa(QMessageBox::NoIcon, titulo, texto, QMessageBox::Yes | QMessageBox::No, dono);
    return caixa.exec() == QMessageBox::Yes;
}

void CaixaMensagem::gravar(bool ativo, bool resposta)
{
    estado().gravando = ativo;
    estado().resposta = resposta;
    if (!ativo)
        estado().registros.clear();
}

bool CaixaMensagem::gravando()
{
    return estado().gravando;
}

const QList<CaixaMensagem::Registro> &CaixaMensagem::registros()
{
    return estado().registros;
}

void CaixaMensagem::limparRegistros()
{
    estado().registros.clear();
}
