#include "settings/TformListaIdiomas.h"

#include <QGuiApplication>
#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int ladoIcone = 18;

// The buttons' pictures are drawn here: the chooser appears before any
// language (and so any picture file) is loaded.
QPixmap desenhar(bool tique, bool cinza)
{
    QPixmap imagem(ladoIcone, ladoIcone);
    imagem.fill(Qt::transparent);
    QPainter pintor(&imagem);
    pintor.setRenderHint(QPainter::Antialiasing);
    const QColor cor = cinza ? QColor(150, 150, 150) : (tique ? QColor(30, 150, 50) : QColor(200, 30, 30));
    pintor.setPen(QPen(cor, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath traco;
    if (tique) {
        traco.moveTo(3, 9.5);
        traco.lineTo(7.5, 14);
        traco.lineTo(15, 4);
    } else {
        traco.moveTo(4, 4);
        traco.lineTo(14, 14);
        traco.moveTo(14, 4);
        traco.lineTo(4, 14);
    }
    pintor.drawPath(traco);
    return imagem;
}

QIcon icone(bool tique)
{
    QIcon resultado;
    resultado.addPixmap(desenhar(tique, false), QIcon::Normal);
    resultado.addPixmap(desenhar(tique, true), QIcon::Disabled);
    return resultado;
}

}

TformListaIdiomas::TformListaIdiomas(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , listaIdiomas(new QListWidget(this))
    , btnOk(new QPushButton(this))
    , btnCancelar(new QPushButton(this))
{
    setObjectName(QStringLiteral("formListaIdiomas"));
    setModal(true);
    setFixedSize(236, 252);
    listaIdiomas->setObjectName(QStringLiteral("listaIdiomas"));
    listaIdiomas->setGeometry(13, 15, 210, 185);
    listaIdiomas->setSelectionMode(QAbstractItemView::SingleSelection);

    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(95, 214, 75, 25);
    btnOk->setIcon(icone(true));
    btnOk->setIconSize(QSize(ladoIcone, ladoIcone));
    btnOk->setCursor(Qt::PointingHandCursor);
    btnOk->setDefault(true);

    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setGeometry(175, 214, 48, 25);
    btnCancelar->setIcon(icone(false));
    btnCancelar->setIconSize(QSize(ladoIcone, ladoIcone));
    btnCancelar->setCursor(Qt::PointingHandCursor);
    btnCancelar->setAutoDefault(false);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(listaIdiomas, &QListWidget::itemDoubleClicked, this, [this] { listaIdiomasDblClick(); });
}

int TformListaIdiomas::escolher(const QStringList &nomes, int atual)
{
    listaIdiomas->clear();
    listaIdiomas->addItems(nomes);
    listaIdiomas->setCurrentRow(atual >= 0 && atual < nomes.size() ? atual : -1);
    if (atual < 0 || atual >= nomes.size())
        listaIdiomas->clearSelection();
    if (QScreen *tela = QGuiApplication::primaryScreen()) {
        QRect area = rect();
        area.moveCenter(tela->availableGeometry().center());
        move(area.topLeft());
    }
    if (exec() != QDialog::Accepted)
        return -1;
    const QList<QListWidgetItem *> selecionados = listaIdiomas->selectedItems();
    if (selecionados.isEmpty())
        return -1;
    return listaIdiomas->row(selecionados.first());
}

void TformListaIdiomas::showEvent(QShowEvent *evento)
{
    QDialog::showEvent(evento);
    FormShow();
}

void TformListaIdiomas::FormShow()
{
    btnOk->setDefault(true);
    listaIdiomas->setFocus();
}

void TformListaIdiomas::listaIdiomasDblClick()
{
    accept();
}
