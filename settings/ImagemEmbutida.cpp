#include "settings/ImagemEmbutida.h"

#include "settings/DecodificadorJpeg.h"

#include <QFile>
#include <QImage>

namespace {

QByteArray lerRecurso(const QString &nome, bool &existe)
{
    QFile arquivo(nome);
    existe = arquivo.exists();
    if (!existe || !arquivo.open(QIODevice::ReadOnly))
        return {};
    return arquivo.readAll();
}

}

QImage ImagemEmbutida::compor(const QByteArray &jpeg, const QByteArray &mascaraPng)
{
    QImage imagem = DecodificadorJpeg::decodificar(jpeg);
    if (imagem.isNull() || mascaraPng.isEmpty())
        return imagem;
    QImage mascara = QImage::fromData(mascaraPng, "PNG");
    if (mascara.isNull())
        return {};
    // A mask drawn at another size still lines up with its picture once scaled.
    if (mascara.size() != imagem.size())
        mascara = mascara.scaled(imagem.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const bool usaAlfa = mascara.hasAlphaChannel();
    mascara = mascara.convertToFormat(QImage::Format_ARGB32);
    imagem = imagem.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < imagem.height(); ++y) {
        auto *pixel = reinterpret_cast<QRgb *>(imagem.scanLine(y));
        const auto *m = reinterpret_cast<const QRgb *>(mascara.constScanLine(y));
        for (int x = 0; x < imagem.width(); ++x) {
            const int alfa = usaAlfa ? qAlpha(m[x]) : qGray(m[x]);
            pixel[x] = qRgba(qRed(pixel[x]), qGreen(pixel[x]), qBlue(pixel[x]), alfa);
        }
    }
    return imagem.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPixmap ImagemEmbutida::carregar(const QString &componente)
{
    bool existe = false;
    const QByteArray jpeg = lerRecurso(QStringLiteral(":/") + componente + QStringLiteral(".jpg"), existe);
    if (!existe)
        return {};
    bool temMascara = false;
    const QByteArray mascara = lerRecurso(QStringLiteral(":/") + componente + QStringLiteral(".mask.png"), temMascara);
    if (temMascara && mascara.isEmpty())
        return {};
    const QImage imagem = compor(jpeg, mascara);
    if (imagem.isNull())
        return {};
    return QPixmap::fromImage(imagem);
}
