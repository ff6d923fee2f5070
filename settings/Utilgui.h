#pragma once

#include <QFont>
#include <QString>

class Utilgui {
public:
    // The program's version as four numbers ("1.0.0.0"); the empty text when
    // the build carries no version.
    static QString versaoDoArquivo();
    // The windows' font: Verdana and MS Sans Serif are not on Debian, so DejaVu Sans at
    // the pixel size the layout was drawn for.
    static QFont fonte(int pixels, bool negrito = false);
};
