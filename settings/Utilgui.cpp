#include "settings/Utilgui.h"

#include "platform/VersaoPrograma.h"

QString Utilgui::versaoDoArquivo()
{
    return VersaoPrograma::texto();
}

QFont Utilgui::fonte(int pixels, bool negrito)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    if (negrito)
        f.setBold(true);
    return f;
}
