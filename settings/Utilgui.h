#pragma once

#include <QString>

class Utilgui {
public:
    // The program's version as four numbers ("1.0.0.0"); the empty text when
    // the build carries no version.
    static QString versaoDoArquivo();
};
