#pragma once

#include <QPixmap>
#include <QString>

// The windows' built-in pictures, compiled in as Qt resources named after their
// component: ":/<component>.jpg", with an optional alpha mask ":/<component>.mask.png".
class ImagemEmbutida {
public:
    // The decoded picture with its mask applied as alpha (the mask's own alpha
    // channel when it has one, otherwise its grey level: white is opaque).
    // A null pixmap when the picture is missing or corrupt, or the mask corrupt.
    static QPixmap carregar(const QString &componente);
    // The same for picture bytes and mask bytes held in memory (an empty mask
    // means none); the image keeps an alpha channel only when a mask is given.
    static QImage compor(const QByteArray &jpeg, const QByteArray &mascaraPng);
};
