#pragma once

#include <QString>

// The version the build compiled in (CMake's project version).
class VersaoPrograma {
public:
    // The build's version as four numbers ("1.0.0.0"), the empty text without one.
    static QString texto();
    // A version of one to four dot-separated numbers as four numbers, missing
    // parts being 0; the empty text when it is not such a version.
    static QString formatar(const QString &versao);
};
