#include "player/PecasBateria.h"

#include "kit/TabelaBateria.h"
#include "settings/ImagemEmbutida.h"

#include <QLabel>
#include <QPixmap>
#include <QString>

QList<QLabel *> PecasBateria::criar(QWidget *pnInstrumento)
{
    QList<QLabel *> imagens;
    imagens.reserve(int(tabelaBateria.size()));
    for (const PecaBateria &peca : tabelaBateria) {
        const QString nome = QString::fromLatin1(peca.nome.data(), qsizetype(peca.nome.size()));
        auto *imagem = new QLabel(pnInstrumento);
        imagem->setObjectName(nome);
        imagem->setGeometry(peca.esquerda, peca.topo, peca.largura, peca.altura);
        imagem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QPixmap pixmap = ImagemEmbutida::carregar(nome);
        imagem->setPixmap(pixmap);
        // An opaque picture covers its rectangle, so nothing beneath it needs painting
        // when it changes; a missing picture must let the panel show through.
        if (!peca.transparente && !pixmap.hasAlphaChannel() && pixmap.width() >= peca.largura
            && pixmap.height() >= peca.altura)
            imagem->setAttribute(Qt::WA_OpaquePaintEvent);
        imagem->setVisible(peca.slot < 0);
        imagens.append(imagem);
    }
    return imagens;
}
